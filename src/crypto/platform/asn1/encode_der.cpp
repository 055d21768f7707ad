#include "crypto/platform/asn1/encode_der.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace velmora::platform {
namespace {

void AppendBase128(Bytes& out, std::uint64_t value) {
    std::uint8_t groups[10];
    std::size_t count = 0;
    do {
        groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.push_back(static_cast<std::uint8_t>(groups[--count] | 0x80));
    }
    out.push_back(groups[0]);
}

constexpr FileTime kTicksPerSecond = 10'000'000;

}  // namespace

void AppendDer(Bytes& out, std::uint8_t tag, ByteView content) {
    out.push_back(tag);
    const std::size_t length = content.size();
    if (length < 0x80) {
        out.push_back(static_cast<std::uint8_t>(length));
    } else {
        std::size_t count = 0;
        for (std::size_t rest = length; rest != 0; rest >>= 8) {
            ++count;
        }
        out.push_back(static_cast<std::uint8_t>(0x80 | count));
        for (std::size_t i = count; i-- > 0;) {
            out.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
        }
    }
    out.insert(out.end(), content.begin(), content.end());
}

Bytes Der(std::uint8_t tag, ByteView content) {
    Bytes out;
    out.reserve(content.size() + 6);
    AppendDer(out, tag, content);
    return out;
}

Bytes DerOf(std::uint8_t tag, std::initializer_list<ByteView> parts) {
    Bytes content;
    for (ByteView part : parts) {
        content.insert(content.end(), part.begin(), part.end());
    }
    return Der(tag, content);
}

std::optional<Bytes> OidContentOfText(std::string_view oid) {
    std::vector<std::uint64_t> arcs;
    std::size_t pos = 0;
    while (true) {
        const std::size_t dot = oid.find('.', pos);
        const std::string_view arc =
            oid.substr(pos, dot == std::string_view::npos ? std::string_view::npos : dot - pos);
        std::uint64_t value = 0;
        const auto [end, ec] = std::from_chars(arc.data(), arc.data() + arc.size(), value);
        if (arc.empty() || ec != std::errc() || end != arc.data() + arc.size()) {
            return std::nullopt;
        }
        arcs.push_back(value);
        if (dot == std::string_view::npos) {
            break;
        }
        pos = dot + 1;
    }
    if (arcs.size() < 2 || arcs[0] > 2 || (arcs[0] < 2 && arcs[1] > 39) ||
        arcs[1] > UINT64_MAX - 80) {
        return std::nullopt;
    }
    Bytes content;
    AppendBase128(content, arcs[0] * 40 + arcs[1]);
    for (std::size_t i = 2; i < arcs.size(); ++i) {
        AppendBase128(content, arcs[i]);
    }
    return content;
}

std::optional<Bytes> GeneralizedTimeDer(FileTime time) {
    const FileTime seconds_total = time / kTicksPerSecond;
    FileTime fraction = time % kTicksPerSecond;
    std::uint64_t days = seconds_total / 86400;
    const std::uint64_t second_of_day = seconds_total % 86400;
    // Civil date from days since 1601-01-01 (which is day 584694 counted
    // from 0000-03-01).
    const std::uint64_t z = days + 584694;
    const std::uint64_t era = z / 146097;
    const std::uint64_t doe = z - era * 146097;
    const std::uint64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::uint64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::uint64_t mp = (5 * doy + 2) / 153;
    const std::uint64_t day = doy - (153 * mp + 2) / 5 + 1;
    const std::uint64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::uint64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    if (year > 9999) {
        return std::nullopt;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u%02u", static_cast<unsigned>(year),
                  static_cast<unsigned>(month), static_cast<unsigned>(day),
                  static_cast<unsigned>(second_of_day / 3600),
                  static_cast<unsigned>(second_of_day / 60 % 60),
                  static_cast<unsigned>(second_of_day % 60));
    std::string content = text;
    if (fraction != 0) {
        std::snprintf(text, sizeof text, ".%07u", static_cast<unsigned>(fraction));
        std::string digits = text;
        while (digits.back() == '0') {
            digits.pop_back();
        }
        content += digits;
    }
    content += 'Z';
    return Der(0x18, AsBytes(content));
}

}  // namespace velmora::platform
