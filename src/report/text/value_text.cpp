#include "report/text/value_text.h"

#include "encoding/hex_lines.h"

#include <ctime>
#include <optional>

namespace velmora {

std::string HexPairsText(ByteView bytes) {
    std::string text;
    text.reserve(bytes.size() * 5 / 2 + 1);
    // An odd count leaves a single byte in front, so the pairs end together
    // with the value.
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && (bytes.size() - i) % 2 == 0) {
            text.push_back(' ');
        }
        AppendHexByte(text, bytes[i]);
    }
    return text;
}

std::string HexSpacedText(ByteView bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            text.push_back(' ');
        }
        AppendHexByte(text, bytes[i]);
    }
    return text;
}

std::string HexReversedText(ByteView bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::size_t i = bytes.size(); i > 0; --i) {
        AppendHexByte(text, bytes[i - 1]);
    }
    return text;
}

std::string HexReversedSpacedText(ByteView bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = bytes.size(); i > 0; --i) {
        if (i < bytes.size()) {
            text.push_back(' ');
        }
        AppendHexByte(text, bytes[i - 1]);
    }
    return text;
}

std::string HexDumpText(ByteView bytes) {
    std::string text;
    text.reserve(bytes.size() * 3 + bytes.size() / 8 + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        AppendHexByte(text, bytes[i]);
        text.push_back(' ');
        if ((i + 1) % 8 == 0) {
            text.push_back(((i + 1) / 8) % 2 == 1 ? ' ' : '\r');
        }
    }
    return text;
}

std::string SerialNumberText(ByteView lsbFirst) {
    return HexReversedText(lsbFirst);
}

namespace {

// "dd.mm.yyyy hh:mm:ss" written digit by digit: a CRL listing writes two of
// these per entry for hundreds of thousands of entries, and a printf per
// text would take a quarter of its time.
void AppendDateTimeDigits(const DateTime& t, std::string& out) {
    if (t.year < 0 || t.year > 9999) {
        out += DateTimeTextDMY(t);
        return;
    }
    const std::size_t at = out.size();
    out += "00.00.0000 00:00:00";
    auto put = [&out, at](std::size_t field, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            out[at + field + static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
    };
    put(0, t.day, 2);
    put(3, t.month, 2);
    put(6, t.year, 4);
    put(11, t.hour, 2);
    put(14, t.minute, 2);
    put(17, t.second, 2);
}

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsPerDay = 86'400;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kSeconds1601To1970 = 11'644'473'600;

std::optional<long> UtcOffsetAt(std::int64_t unixSeconds) {
    const auto t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) {
        return std::nullopt;
    }
    return tm.tm_gmtoff;
}

}  // namespace

std::string FileTimeText(std::uint64_t fileTime) {
    // A zero file time is no time at all; showing it as the local text of
    // 1 January 1601 would present a missing date as a real one.
    const std::optional<DateTime> local = FileTimeToLocal(fileTime);
    std::string text;
    if (local) {
        AppendDateTimeDigits(*local, text);
    }
    return text;
}

void LocalTimeTexts::Append(std::uint64_t fileTime, std::string& out) {
    if (fileTime == 0 || fileTime > static_cast<std::uint64_t>(INT64_MAX)) {
        return;
    }
    const std::int64_t unixSeconds =
        static_cast<std::int64_t>(fileTime) / kTicksPerSecond - kSeconds1601To1970;
    const std::int64_t day =
        unixSeconds >= 0 ? unixSeconds / kSecondsPerDay : (unixSeconds + 1) / kSecondsPerDay - 1;
    if (day != day_) {
        // The offset holds for the whole UTC day when it is the same at its
        // first and last second; a day with a change of offset in it asks
        // the C library for every time.
        day_ = day;
        const std::optional<long> first = UtcOffsetAt(day * kSecondsPerDay);
        const std::optional<long> last = UtcOffsetAt(day * kSecondsPerDay + kSecondsPerDay - 1);
        offset_ = first && last && *first == *last ? first : std::nullopt;
    }
    const std::optional<DateTime> local =
        offset_ ? FileTimeToUtc(fileTime + static_cast<std::uint64_t>(*offset_ * kTicksPerSecond))
                : FileTimeToLocal(fileTime);
    if (local) {
        AppendDateTimeDigits(*local, out);
    }
}

DateTime FileTimeToLocalDateTime(std::uint64_t fileTime) {
    return FileTimeToLocal(fileTime).value_or(DateTime{});
}

std::uint64_t LocalDateTimeToFileTime(const DateTime& local) {
    return LocalToFileTime(local);
}

}  // namespace velmora
