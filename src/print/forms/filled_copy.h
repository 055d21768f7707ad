// Where a filled form is put before the desktop shows it: a new private
// folder of its own under the temporary folder, so that forms printed one
// after the other (and still open) never overwrite one another.
#pragma once

#include "encoding/bytes.h"

#include <filesystem>
#include <string>

namespace velmora::print {

// Writes the bytes, atomically, as the named file in a new folder under the
// root (only the user may enter it) and returns the file's path. Raises
// Error, leaving nothing behind, when it cannot.
std::filesystem::path WriteFilledCopy(const std::filesystem::path& root,
                                      const std::string& fileName, ByteView bytes);

}  // namespace velmora::print
