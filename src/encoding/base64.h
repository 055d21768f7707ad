// Base64 with the standard alphabet and "=" padding, one line, no breaks.
#pragma once

#include "encoding/bytes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// One line of base64, padded with "=" or "=="; no bytes give an empty text.
std::string Base64Encode(ByteView bytes);

// Decodes base64 text. CR, LF, TAB and space are skipped wherever they
// stand; every "=", wherever it stands, is skipped and counted as padding;
// any other character outside the alphabet fails. Three or more "=" fail.
// The decoded bits are cut to 6 per alphabet character less 2 per "=", and
// whole bytes of them are the result (an incomplete last byte is dropped).
//
// With out == nullptr only count is set, to the number of decoded bytes.
// With a buffer, count says its size on entry: when the decoded bytes fit,
// they are written and count is set to their number; when they do not fit,
// the result is false and nothing is written. On any failure nothing is
// written and count is left as it was.
bool Base64Decode(std::string_view text, std::uint8_t* out, std::size_t& count);

// The decoded bytes, or nothing when the text does not decode.
std::optional<Bytes> Base64Decode(std::string_view text);

// Base64Decode over a text given in pieces, so that a large file is decoded
// without holding it: the same rules, the same bytes.
class Base64Decoder {
  public:
    // Decodes the piece and appends the bytes that are complete to out.
    // False at the first character outside the alphabet or the third "=";
    // the decoder is then spent.
    bool Feed(std::string_view text, Bytes& out);

    // Appends what the whole text still gives once it has all been fed. The
    // last complete byte is held back until then: a "=" later in the text
    // would cut it.
    void Finish(Bytes& out);

    // The number of bytes the text fed so far decodes to.
    std::uint64_t DecodedSize() const;

  private:
    std::uint64_t digits_ = 0;
    std::uint64_t pads_ = 0;
    std::uint64_t handed_out_ = 0;
    std::uint32_t pending_ = 0;
    int pending_bits_ = 0;
    bool held_ = false;
    std::uint8_t held_byte_ = 0;
};

}  // namespace velmora
