// Text files written by people or other programs: read as UTF-8 when they
// are valid UTF-8, else as Windows-1251, and split into lines.
#pragma once

#include "encoding/bytes.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The program's text of a file's bytes: UTF-8 when the bytes are valid
// UTF-8 (a leading byte-order mark is dropped), else Windows-1251.
std::string DecodeTextBytes(ByteView bytes);

// Lines of a text, split at CR LF, LF or a lone CR. A break at the very end
// does not start a further line, so "" gives no lines and "a\n" one.
std::vector<std::string> SplitLines(std::string_view text);

// A text file decoded by DecodeTextBytes; nothing when it cannot be read.
std::optional<std::string> ReadTextFile(const std::filesystem::path& file);

// The lines of ReadTextFile; nothing when the file cannot be read.
std::optional<std::vector<std::string>> ReadTextFileLines(const std::filesystem::path& file);

}  // namespace velmora
