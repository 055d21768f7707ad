// A fixed pseudo-random sequence for tests that damage objects at many
// places: every run tries the same variants.
#pragma once

#include <cstdint>

namespace velmora::testing {

class Lcg {
  public:
    explicit Lcg(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }

  private:
    std::uint32_t state_;
};

}  // namespace velmora::testing
