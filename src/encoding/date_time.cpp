#include "encoding/date_time.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace velmora {

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kTicksPerMillisecond = 10'000;
constexpr std::int64_t kSecondsPerDay = 86'400;
// Days from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kDaysTo1970 = 134'774;
// The last year a file time reaches (as on the platform we stand in for).
constexpr int kLastYear = 30827;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's method).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

DateTime FromTm(const std::tm& tm, int millisecond) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min,         tm.tm_sec,     millisecond};
}

std::string Format(const char* pattern, int a, int b, int c, int d, int e, int f) {
    char buffer[96];
    const int n = std::snprintf(buffer, sizeof buffer, pattern, a, b, c, d, e, f);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

bool IsValidDateTime(const DateTime& v) {
    return v.month >= 1 && v.month <= 12 && v.day >= 1 && v.day <= DaysInMonth(v.year, v.month) &&
           v.hour >= 0 && v.hour <= 23 && v.minute >= 0 && v.minute <= 59 && v.second >= 0 &&
           v.second <= 59 && v.millisecond >= 0 && v.millisecond <= 999;
}

std::optional<DateTime> FileTimeToUtc(FileTime time) {
    if (time == 0) {
        return std::nullopt;
    }
    const auto milliseconds = static_cast<std::int64_t>(time / kTicksPerMillisecond);
    const std::int64_t seconds = milliseconds / 1000;
    const std::int64_t days = seconds / kSecondsPerDay;
    const std::int64_t rest = seconds % kSecondsPerDay;
    std::int64_t year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(days - kDaysTo1970, year, month, day);
    return DateTime{static_cast<int>(year),
                    month,
                    day,
                    static_cast<int>(rest / 3600),
                    static_cast<int>(rest % 3600 / 60),
                    static_cast<int>(rest % 60),
                    static_cast<int>(milliseconds % 1000)};
}

std::optional<DateTime> FileTimeToLocal(FileTime time) {
    if (time == 0 || time > static_cast<FileTime>(INT64_MAX)) {
        return std::nullopt;
    }
    const auto ticks = static_cast<std::int64_t>(time);
    const std::int64_t unixSeconds = ticks / kTicksPerSecond - kDaysTo1970 * kSecondsPerDay;
    const auto t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) {
        return std::nullopt;
    }
    return FromTm(tm, static_cast<int>(ticks % kTicksPerSecond / kTicksPerMillisecond));
}

FileTime UtcToFileTime(const DateTime& v) {
    if (!IsValidDateTime(v) || v.year < 1601 || v.year > kLastYear) {
        return 0;
    }
    const std::int64_t days = DaysFromCivil(v.year, v.month, v.day) + kDaysTo1970;
    const std::int64_t seconds = days * kSecondsPerDay + v.hour * 3600 + v.minute * 60 + v.second;
    return static_cast<FileTime>(seconds * kTicksPerSecond + v.millisecond * kTicksPerMillisecond);
}

FileTime LocalToFileTime(const DateTime& v) {
    if (!IsValidDateTime(v) || v.year < 1601 || v.year > kLastYear) {
        return 0;
    }
    std::tm tm{};
    tm.tm_year = v.year - 1900;
    tm.tm_mon = v.month - 1;
    tm.tm_mday = v.day;
    tm.tm_hour = v.hour;
    tm.tm_min = v.minute;
    tm.tm_sec = v.second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) {
        // -1 is also the honest answer for one second before 1970 UTC.
        std::tm check{};
        if (localtime_r(&t, &check) == nullptr ||
            FromTm(check, 0) != DateTime{v.year, v.month, v.day, v.hour, v.minute, v.second, 0}) {
            return 0;
        }
    }
    const std::int64_t seconds = static_cast<std::int64_t>(t) + kDaysTo1970 * kSecondsPerDay;
    if (seconds <= 0) {
        return 0;
    }
    return static_cast<FileTime>(seconds * kTicksPerSecond + v.millisecond * kTicksPerMillisecond);
}

FileTime CurrentFileTime() {
    const auto since1970 = std::chrono::duration_cast<std::chrono::microseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
    return static_cast<FileTime>(since1970 * 10 + kDaysTo1970 * kSecondsPerDay * kTicksPerSecond);
}

DateTime CurrentLocalTime() {
    return FileTimeToLocal(CurrentFileTime()).value_or(DateTime{});
}

std::string DateTimeTextMDY(const DateTime& v) {
    return Format("%02d.%02d.%04d %02d:%02d:%02d", v.month, v.day, v.year, v.hour, v.minute,
                  v.second);
}

std::string DateTimeTextDMY(const DateTime& v) {
    return Format("%02d.%02d.%04d %02d:%02d:%02d", v.day, v.month, v.year, v.hour, v.minute,
                  v.second);
}

std::string DateTextLong(const DateTime& v) {
    constexpr std::array<const char*, 12> kMonths = {"января",   "февраля", "марта",  "апреля",
                                                     "мая",      "июня",    "июля",   "августа",
                                                     "сентября", "октября", "ноября", "декабря"};
    const char* month =
        v.month >= 1 && v.month <= 12 ? kMonths[static_cast<std::size_t>(v.month - 1)] : "";
    return std::to_string(v.day) + " " + month + " " + std::to_string(v.year) + " г.";
}

// The platform we stand in for raises an invalid-date error when the month
// reached has no such day (31 January + 1 month). We give the last day of
// that month instead: callers add validity periods ("a year from today"), and
// an error there only stops them without anything they could do about it.
DateTime AddToDate(int years, int months, int days, const DateTime& value) {
    std::int64_t year = std::int64_t{value.year} + years;
    const std::int64_t m = std::int64_t{value.month} + months;
    const std::int64_t q = m / 12;  // truncated toward zero
    std::int64_t r = m - 12 * q;
    if (r < 1) {
        r += 12;
        year -= 1;
    }
    year += q;
    const int month = static_cast<int>(r);
    const int lastDay = DaysInMonth(static_cast<int>(year), month);
    const int day = std::min(std::max(value.day, 1), lastDay);

    int resultMonth = 0;
    int resultDay = 0;
    std::int64_t resultYear = 0;
    CivilFromDays(DaysFromCivil(year, month, day) + days, resultYear, resultMonth, resultDay);
    DateTime result = value;
    result.year = static_cast<int>(resultYear);
    result.month = resultMonth;
    result.day = resultDay;
    return result;
}

std::string DateTimeStamp(const DateTime& v) {
    const std::int64_t stamp = std::int64_t{v.month} * 100000000 + std::int64_t{v.day} * 1000000 +
                               std::int64_t{v.hour} * 10000 + std::int64_t{v.minute} * 100 +
                               v.second;
    return std::to_string(stamp);
}

}  // namespace velmora
