#include "crypto/platform/asn1/decode_internal.h"
#include "crypto/platform/asn1/decode_values.h"
#include "encoding/date_time.h"

#include <cstdint>

namespace velmora::platform {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;

// Days from 1601-01-01 to the date (proleptic Gregorian calendar; the year
// is never negative here).
std::int64_t DaysSince1601(std::int64_t year, unsigned month, unsigned day) {
    // Counts from 0000-03-01 so that the leap day ends each cycle.
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = year / 400;
    const std::int64_t yoe = year - era * 400;
    const std::int64_t m = month;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days_from_0000_03_01 = era * 146097 + doe;
    // 1601-01-01 is day 584694 of that count.
    return days_from_0000_03_01 - 584694;
}

class TimeText {
  public:
    explicit TimeText(ByteView text) : text_(text) {}

    // Reads exactly `count` decimal digits.
    bool Digits(std::size_t count, unsigned& value) {
        if (text_.size() - pos_ < count) {
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t c = text_[pos_ + i];
            if (c < '0' || c > '9') {
                return false;
            }
            value = value * 10 + (c - '0');
        }
        pos_ += count;
        return true;
    }
    bool AtDigit() const { return pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9'; }
    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == static_cast<std::uint8_t>(c)) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool AtEnd() const { return pos_ == text_.size(); }

  private:
    ByteView text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<FileTime> TimeOfContent(ByteView content, bool is_generalized) {
    TimeText text(content);
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (is_generalized) {
        if (!text.Digits(4, year)) {
            return std::nullopt;
        }
    } else {
        if (!text.Digits(2, year)) {
            return std::nullopt;
        }
        year += year < 50 ? 2000 : 1900;
    }
    if (!text.Digits(2, month) || !text.Digits(2, day) || !text.Digits(2, hour)) {
        return std::nullopt;
    }
    // Minutes may be left out only in a GeneralizedTime; seconds in both.
    bool has_minutes = false;
    if (text.AtDigit()) {
        if (!text.Digits(2, minute)) {
            return std::nullopt;
        }
        has_minutes = true;
    } else if (!is_generalized) {
        return std::nullopt;
    }
    bool has_seconds = false;
    if (has_minutes && text.AtDigit()) {
        if (!text.Digits(2, second)) {
            return std::nullopt;
        }
        has_seconds = true;
    }
    std::int64_t fraction_ticks = 0;
    if (is_generalized && has_seconds && (text.Take('.') || text.Take(','))) {
        if (!text.AtDigit()) {
            return std::nullopt;
        }
        std::int64_t scale = kTicksPerSecond / 10;
        while (text.AtDigit()) {
            unsigned digit = 0;
            text.Digits(1, digit);
            fraction_ticks += digit * scale;
            scale /= 10;
        }
    }
    std::int64_t offset_minutes = 0;
    if (text.Take('Z')) {
        // UTC
    } else if (const int sign = text.Take('+') ? 1 : text.Take('-') ? -1 : 0; sign != 0) {
        unsigned offset_hours = 0, offset_mins = 0;
        if (!text.Digits(2, offset_hours) || offset_hours > 23) {
            return std::nullopt;
        }
        // A GeneralizedTime may give the offset in hours only.
        if ((!is_generalized || text.AtDigit()) &&
            (!text.Digits(2, offset_mins) || offset_mins > 59)) {
            return std::nullopt;
        }
        offset_minutes = sign * static_cast<std::int64_t>(offset_hours * 60 + offset_mins);
    } else if (!is_generalized) {
        return std::nullopt;  // a UTCTime always names its zone
    }
    if (!text.AtEnd()) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 ||
        static_cast<int>(day) > DaysInMonth(static_cast<int>(year), static_cast<int>(month)) ||
        hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    const std::int64_t seconds = DaysSince1601(year, month, day) * 86400 + hour * 3600 +
                                 minute * 60 + second - offset_minutes * 60;
    if (seconds < 0) {
        return std::nullopt;
    }
    return static_cast<FileTime>(seconds * kTicksPerSecond + fraction_ticks);
}

std::optional<FileTime> DecodeChoiceOfTime(ByteView der) {
    decode::Cursor cursor(der);
    DerElement element;
    if (!cursor.Next(element) || !cursor.Finish()) {
        return std::nullopt;
    }
    if (element.tag != der::kUtcTime && element.tag != der::kGeneralizedTime) {
        SetLastError(error::kAsn1BadTag);
        return std::nullopt;
    }
    std::optional<FileTime> time =
        TimeOfContent(element.content, element.tag == der::kGeneralizedTime);
    if (!time) {
        SetLastError(error::kAsn1Corrupt);
    }
    return time;
}

}  // namespace velmora::platform
