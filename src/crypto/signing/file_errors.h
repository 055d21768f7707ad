// The errors a signing or verification command raises for a file it cannot
// read or write.
#pragma once

#include "encoding/byte_source.h"

#include <filesystem>
#include <memory>

namespace velmora {

// The file opened for reading in pieces; raises Error when it cannot be.
std::unique_ptr<FileSource> OpenForReading(const std::filesystem::path& file);

[[noreturn]] void RaiseReadError(const std::filesystem::path& file);
[[noreturn]] void RaiseWriteError(const std::filesystem::path& file);

}  // namespace velmora
