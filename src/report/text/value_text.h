// The small value-to-text conversions every report uses: hexadecimal forms of
// byte values, serial numbers, and platform file times as local times.
// Hexadecimal digits are upper case, two per byte; no bytes give an empty text.
#pragma once

#include "encoding/bytes.h"
#include "encoding/date_time.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

// Pairs of bytes separated by one blank, grouped from the end, so an odd
// count leaves a single byte in front: 01 02 03 04 05 -> "01 0203 0405".
std::string HexPairsText(ByteView bytes);

// Every byte, one blank between bytes: "01 02 03 04 05".
std::string HexSpacedText(ByteView bytes);

// The bytes in reverse order, no separators: "0504030201".
std::string HexReversedText(ByteView bytes);

// Reverse order, one blank between bytes: "05 04 03 02 01".
std::string HexReversedSpacedText(ByteView bytes);

// Sixteen bytes a line: each byte's digits and a blank, one more blank after
// the eighth byte of a line, and a carriage return (no line feed) after the
// sixteenth. A last partial line is not ended.
std::string HexDumpText(ByteView bytes);

// A serial number held as the platform holds integers (least significant
// byte first) in the usual most-significant-first form: 34 12 -> "1234".
std::string SerialNumberText(ByteView lsbFirst);

// A UTC file time as local time "dd.mm.yyyy hh:mm:ss" (24-hour clock). A zero
// file time stands for a missing time (a CRL without a next update) and gives
// an empty text rather than the local text of 1 January 1601.
std::string FileTimeText(std::uint64_t fileTime);

// The texts of FileTimeText for many times in a row (the dates of a CRL's
// entries), appended to out, without asking the C library for the local
// time of each: the offset from UTC is taken once per UTC day.
class LocalTimeTexts {
  public:
    void Append(std::uint64_t fileTime, std::string& out);

  private:
    std::int64_t day_ = INT64_MIN;  // the UTC day offset_ belongs to
    std::optional<long> offset_;    // seconds east of UTC; none: ask every time
};

// A UTC file time as a local date-time value, with the current time-zone
// rules (daylight saving included). A zero file time, and one the C library
// cannot represent, gives the default DateTime (1601-01-01 00:00).
DateTime FileTimeToLocalDateTime(std::uint64_t fileTime);

// A local date-time value back to the UTC file time; 0 for an invalid one.
std::uint64_t LocalDateTimeToFileTime(const DateTime& local);

}  // namespace velmora
