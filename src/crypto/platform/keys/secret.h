// A secret text (a container password) that wipes its bytes when it is
// changed or destroyed, so that no copy outlives its use in memory the
// program gave back.
#pragma once

#include <string_view>
#include <vector>

namespace velmora::platform {

class Secret {
  public:
    Secret() = default;
    explicit Secret(std::string_view text);
    ~Secret();
    Secret(Secret&& other) noexcept;
    Secret& operator=(Secret&& other) noexcept;
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;

    std::string_view View() const { return {bytes_.data(), bytes_.size()}; }
    bool Empty() const { return bytes_.empty(); }
    // Wipes the bytes and leaves the secret empty.
    void Clear();

  private:
    std::vector<char> bytes_;
};

// Overwrites memory so that the compiler cannot drop the writes.
void WipeMemory(void* data, std::size_t size);

}  // namespace velmora::platform
