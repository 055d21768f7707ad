// Limits on the texts the decoded records hold, counted in characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// The longest text a name entry or an alternative name holds.
inline constexpr std::size_t kRecordTextLimit = 255;
// The longest time text of a private key usage period.
inline constexpr std::size_t kPeriodTextLimit = 100;

// The first `limit` characters of the text. Characters, not bytes, are
// counted, so a cut never splits a Cyrillic letter in half; a malformed UTF-8
// sequence counts as one character and is kept as it stands.
std::string CutText(std::string_view text, std::size_t limit);

}  // namespace velmora
