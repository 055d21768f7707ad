// Catalogue lines whose fields are separated by "|" (for example OID.csv).
// The file forms read the file as UTF-8 when it is valid UTF-8, else as
// Windows-1251, and split it at CR LF, LF or CR.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Number of "|" characters.
int CountBars(std::string_view text);

// Field index (from 0): field 0 is the text before the first "|", field k the
// text after the k-th "|" up to the next one or the end. Empty for a
// negative index or one beyond the last field.
std::string BarField(std::string_view line, int index);

// True when every line ends with "|" (an empty line does not); no lines give
// true.
bool AllLinesEndWithBar(std::span<const std::string> lines);
// The same for a file; false when it cannot be read.
bool AllLinesEndWithBar(const std::filesystem::path& file);

// True when, in every line, each field from 0 to CountBars(line) - 1 is
// non-empty; the walk stops at the first line that fails.
bool AllFieldsFilled(std::span<const std::string> lines);
// The same for a file; false when it cannot be read.
bool AllFieldsFilled(const std::filesystem::path& file);

// The resultColumn field of the first line whose keyColumns fields equal the
// keyValues (same index, byte for byte); empty when no line matches. Key
// lists of different lengths match no line.
std::string LookupBarTable(std::span<const std::string> lines, std::span<const int> keyColumns,
                           std::span<const std::string> keyValues, int resultColumn);
// The same for a file; nothing when it cannot be read.
std::optional<std::string> LookupBarTable(const std::filesystem::path& file,
                                          std::span<const int> keyColumns,
                                          std::span<const std::string> keyValues, int resultColumn);

}  // namespace velmora
