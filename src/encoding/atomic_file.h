// Whole-file reads and atomic whole-file writes. A write goes to a temporary
// file in the target's folder, is flushed to disk and then renamed over the
// target, so the target holds either its old content or the whole new one,
// never a part. Ordinary I/O failures (missing folder, no permission, disk
// full) give false or nothing; nothing is thrown for them and the caller
// reports them.
#pragma once

#include "encoding/bytes.h"

#include <filesystem>
#include <optional>

namespace velmora {

// Creates or replaces the file with exactly these bytes. A new file gets the
// usual permissions (0666 less the umask); a replaced file keeps its own.
// On failure the temporary file is removed and an existing target is left
// untouched. A symbolic link at the target is replaced by the file itself.
bool WriteFileAtomic(const std::filesystem::path& target, ByteView bytes);

// The same with the given permissions, in force from the moment the
// temporary file is created (for keys: owner_read | owner_write).
bool WriteFileAtomic(const std::filesystem::path& target, ByteView bytes,
                     std::filesystem::perms permissions);

// The whole content of a file, or nothing when it cannot be opened or read
// (a missing file, a folder, no permission).
std::optional<Bytes> ReadFileBytes(const std::filesystem::path& file);

}  // namespace velmora
