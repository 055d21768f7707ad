// Arbitrary bytes as base64 text, and as bytes to encode and decode back.
#include "encoding/base64.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using velmora::Base64Decode;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // The size pass, then the fill pass into a buffer of exactly that size;
    // the whole-value form must agree with both.
    std::size_t count = 0;
    const bool decodes = Base64Decode(text, nullptr, count);
    const std::optional<velmora::Bytes> whole = Base64Decode(text);
    Check(decodes == whole.has_value());
    if (decodes) {
        Check(count == whole->size());
        const auto buffer = std::make_unique<std::uint8_t[]>(count + 1);
        std::size_t filled = count;
        Check(Base64Decode(text, buffer.get(), filled));
        Check(filled == count && std::equal(whole->begin(), whole->end(), buffer.get()));
        if (count > 0) {
            // One byte short: refused, with nothing written.
            const auto shortBuffer = std::make_unique<std::uint8_t[]>(count - 1);
            std::fill_n(shortBuffer.get(), count - 1, 0xA5);
            std::size_t room = count - 1;
            Check(!Base64Decode(text, shortBuffer.get(), room) && room == count - 1);
            Check(std::all_of(shortBuffer.get(), shortBuffer.get() + room,
                              [](std::uint8_t b) { return b == 0xA5; }));
        }
    }

    // Any bytes survive a round trip.
    const velmora::ByteView bytes(data, size);
    const std::optional<velmora::Bytes> back = Base64Decode(velmora::Base64Encode(bytes));
    Check(back && std::equal(back->begin(), back->end(), bytes.begin(), bytes.end()));
    return 0;
}
