// Calendar date and time, the platform file time, and the Russian date
// texts of the reports. A DateTime is a local calendar time (proleptic
// Gregorian calendar) unless a function says it is UTC; local time follows
// the C library's time-zone rules (TZ).
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

struct DateTime {
    int year = 1601;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

// The platform file time: 100-ns ticks since 1601-01-01 00:00 UTC; 0 stands
// for a missing time.
using FileTime = std::uint64_t;

bool IsLeapYear(int year);

// Days of the month; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// True when every field is in its range (the day existing in its month).
bool IsValidDateTime(const DateTime& value);

// The file time as UTC and as local calendar time; nothing for 0 or for a
// time the C library cannot represent.
std::optional<DateTime> FileTimeToUtc(FileTime time);
std::optional<DateTime> FileTimeToLocal(FileTime time);

// A UTC or local calendar time as a file time; 0 for an invalid date-time or
// one outside the file time's range. A local time that a clock change skips
// or repeats is resolved by the C library's mktime.
FileTime UtcToFileTime(const DateTime& value);
FileTime LocalToFileTime(const DateTime& value);

FileTime CurrentFileTime();
DateTime CurrentLocalTime();

// "mm.dd.yyyy hh:mm:ss".
std::string DateTimeTextMDY(const DateTime& value);
// "dd.mm.yyyy hh:mm:ss".
std::string DateTimeTextDMY(const DateTime& value);
// "5 марта 2024 г.": day without a leading zero, the month's name in the
// genitive, the year.
std::string DateTextLong(const DateTime& value);

// The date moved by whole years, months and days (each may be negative),
// the time of day kept. Years and months move first; when the day does not
// exist in the month reached (31 May less 3 months, 29 February plus 1 year)
// it becomes that month's last day; then the days are added.
DateTime AddToDate(int years, int months, int days, const DateTime& value);

// month*100000000 + day*1000000 + hour*10000 + minute*100 + second in
// decimal: 15 March 14:05:09 gives "315140509".
std::string DateTimeStamp(const DateTime& value);

}  // namespace velmora
