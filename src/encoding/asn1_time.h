// Russian texts of ASN.1 times (the content characters of a GeneralizedTime
// or UTCTime). Inputs shorter than the positions read give what is present;
// nothing outside the input is read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// YYYYMMDDHHMM[SS][zone] -> "15.03.2024 г. 14:05:09 по Гринвичу".
// Seconds are shown when the input has a character after the minutes that is
// not a zone sign; a fraction of a second hides the zone.
std::string GeneralizedTimeText(std::string_view content);

// YYMMDDHHMM[SS][zone] -> the same form; years below 50 are 20YY, others 19YY.
// No century is added when the first two characters are not two digits.
std::string UtcTimeText(std::string_view content);

// " по Гринвичу" for "Z" at position (1-based) p, " GMT +hh:mm" for a sign,
// empty otherwise.
std::string TimeZoneText(std::string_view text, std::size_t p);

}  // namespace velmora
