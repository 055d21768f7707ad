#include "encoding/base64.h"

#include <array>

namespace velmora {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr int kSkip = -1;
constexpr int kPad = -2;
constexpr int kBad = -3;

constexpr std::array<int, 256> MakeValues() {
    std::array<int, 256> values{};
    for (auto& v : values) {
        v = kBad;
    }
    for (std::size_t k = 0; k < kAlphabet.size(); ++k) {
        values[static_cast<unsigned char>(kAlphabet[k])] = static_cast<int>(k);
    }
    values['\r'] = kSkip;
    values['\n'] = kSkip;
    values['\t'] = kSkip;
    values[' '] = kSkip;
    values['='] = kPad;
    return values;
}

constexpr std::array<int, 256> kValues = MakeValues();

int ValueOf(char c) {
    return kValues[static_cast<unsigned char>(c)];
}

// Checks the text and gives the number of bytes it decodes to.
std::optional<std::size_t> DecodedSize(std::string_view text) {
    std::size_t digits = 0;
    std::size_t pads = 0;
    for (const char c : text) {
        const int v = ValueOf(c);
        if (v == kBad) {
            return std::nullopt;
        }
        if (v == kPad) {
            ++pads;
        } else if (v >= 0) {
            ++digits;
        }
    }
    if (pads >= 3) {
        return std::nullopt;
    }
    const std::size_t bits = 6 * digits;
    return bits < 2 * pads ? 0 : (bits - 2 * pads) / 8;
}

}  // namespace

std::string Base64Encode(ByteView bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t k = 0;
    for (; k + 3 <= bytes.size(); k += 3) {
        const std::uint32_t v =
            (std::uint32_t{bytes[k]} << 16) | (std::uint32_t{bytes[k + 1]} << 8) | bytes[k + 2];
        out += kAlphabet[(v >> 18) & 0x3F];
        out += kAlphabet[(v >> 12) & 0x3F];
        out += kAlphabet[(v >> 6) & 0x3F];
        out += kAlphabet[v & 0x3F];
    }
    const std::size_t rest = bytes.size() - k;
    if (rest == 1) {
        const std::uint32_t v = std::uint32_t{bytes[k]} << 16;
        out += kAlphabet[(v >> 18) & 0x3F];
        out += kAlphabet[(v >> 12) & 0x3F];
        out += "==";
    } else if (rest == 2) {
        const std::uint32_t v =
            (std::uint32_t{bytes[k]} << 16) | (std::uint32_t{bytes[k + 1]} << 8);
        out += kAlphabet[(v >> 18) & 0x3F];
        out += kAlphabet[(v >> 12) & 0x3F];
        out += kAlphabet[(v >> 6) & 0x3F];
        out += '=';
    }
    return out;
}

bool Base64Decode(std::string_view text, std::uint8_t* out, std::size_t& count) {
    const auto size = DecodedSize(text);
    if (!size) {
        return false;
    }
    if (out == nullptr) {
        count = *size;
        return true;
    }
    if (*size > count) {
        return false;
    }
    std::uint32_t pending = 0;
    int pendingBits = 0;
    std::size_t written = 0;
    for (const char c : text) {
        if (written == *size) {
            break;
        }
        const int v = ValueOf(c);
        if (v < 0) {
            continue;
        }
        pending = (pending << 6) | static_cast<std::uint32_t>(v);
        pendingBits += 6;
        if (pendingBits >= 8) {
            pendingBits -= 8;
            out[written++] = static_cast<std::uint8_t>(pending >> pendingBits);
            pending &= (1u << pendingBits) - 1;
        }
    }
    count = written;
    return true;
}

std::optional<Bytes> Base64Decode(std::string_view text) {
    std::size_t count = 0;
    if (!Base64Decode(text, nullptr, count)) {
        return std::nullopt;
    }
    Bytes bytes(count);
    if (!Base64Decode(text, bytes.data(), count)) {
        return std::nullopt;
    }
    return bytes;
}

bool Base64Decoder::Feed(std::string_view text, Bytes& out) {
    for (const char c : text) {
        const int v = ValueOf(c);
        if (v == kBad) {
            return false;
        }
        if (v == kPad) {
            if (++pads_ >= 3) {
                return false;
            }
            continue;
        }
        if (v < 0) {
            continue;
        }
        ++digits_;
        pending_ = (pending_ << 6) | static_cast<std::uint32_t>(v);
        pending_bits_ += 6;
        if (pending_bits_ >= 8) {
            pending_bits_ -= 8;
            if (held_) {
                out.push_back(held_byte_);
                ++handed_out_;
            }
            held_byte_ = static_cast<std::uint8_t>(pending_ >> pending_bits_);
            held_ = true;
            pending_ &= (1u << pending_bits_) - 1;
        }
    }
    return true;
}

std::uint64_t Base64Decoder::DecodedSize() const {
    const std::uint64_t bits = 6 * digits_;
    return bits < 2 * pads_ ? 0 : (bits - 2 * pads_) / 8;
}

void Base64Decoder::Finish(Bytes& out) {
    // At most two "=" cut at most four bits: the held byte is the only one
    // that can fall away.
    if (held_ && handed_out_ < DecodedSize()) {
        out.push_back(held_byte_);
        ++handed_out_;
    }
    held_ = false;
}

}  // namespace velmora
