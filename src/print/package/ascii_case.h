// Names compared as the formats compare them: ASCII letters ignoring case,
// every other byte as it is (part names, table, column and bookmark names).
#pragma once

#include <string>
#include <string_view>

namespace velmora::print {

std::string LowerAscii(std::string_view text);

bool SameName(std::string_view a, std::string_view b);

}  // namespace velmora::print
