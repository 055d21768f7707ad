// PEM armour and the PEM/DER file conversions. Every write is atomic (see
// atomic_file.h): a failed conversion leaves no target behind and an
// existing target untouched.
#pragma once

#include "encoding/bytes.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

// The text without its first "-----BEGIN ...-----" line and without
// everything from the first "-----END" on. The label is never read, so any
// armour is handled alike. A text without "-----BEGIN" (or whose BEGIN line
// is not closed by "-----") is returned unchanged; text before the BEGIN
// line stays.
std::string StripPemArmour(std::string_view text);

// Reads base64 text, armoured or bare (the text StripPemArmour leaves), and
// writes the decoded bytes to the target. Throws Error when a step fails:
// reading the source (missing, unreadable, no regular file), decoding it
// (its text is no base64, or decodes to no bytes at all) or writing the
// target; the message names the step, the file and the system's reason, and
// the target is left as it was. The file is read twice in blocks rather
// than held: memory stays flat whatever its size.
void PemFileToDer(const std::filesystem::path& source, const std::filesystem::path& target);

// Writes the source's bytes to the target as one base64 line ended by CR LF,
// without armour lines, a block at a time. Failures as PemFileToDer.
void DerFileToBase64(const std::filesystem::path& source, const std::filesystem::path& target);

// Creates or replaces the file with exactly these bytes.
bool WriteBufferToFile(ByteView bytes, const std::filesystem::path& file);

}  // namespace velmora
