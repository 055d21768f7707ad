// Whole-file reads and atomic file writes. A write goes to a temporary file
// in the target's folder, is flushed to disk and then renamed over the
// target, so the target holds either its old content or the whole new one,
// never a part. The temporary file has no name until it is whole where the
// system offers unnamed files, so a writer that is killed leaves nothing
// behind; where it must be named from the start, the leftovers of a dead
// writer are removed by the next write to that folder. Ordinary I/O failures (missing folder, no
// permission, disk full) give false or nothing; nothing is thrown for them and the caller reports
// them.
#pragma once

#include "encoding/bytes.h"

#include <filesystem>
#include <optional>
#include <set>

#include <sys/types.h>

namespace velmora {

// The folders whose dead writers' leftovers were already looked for by the
// writers that share this record. A pass that writes many files into one
// folder looks once, instead of reading the whole folder for every file.
class LeftoverSweeps {
  public:
    // True the first time a folder is given, when it is to be swept.
    bool First(const std::filesystem::path& folder) { return done_.insert(folder).second; }

  private:
    std::set<std::filesystem::path> done_;
};

// A file written in pieces and put in place whole: Open creates the
// temporary file, Write appends to it, Commit flushes it to disk and renames
// it over the target. A writer that fails, or is destroyed or moved over
// before Commit, removes its temporary file and leaves the target untouched.
class AtomicFileWriter {
  public:
    AtomicFileWriter() = default;
    AtomicFileWriter(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&& other) noexcept;
    ~AtomicFileWriter();

    // Creates the temporary file beside the target. Its permissions are the
    // given ones when there are any, else those of the regular file it is to
    // replace, else the usual ones (0666 less the umask); they are in force
    // from the moment the file is created. Discards what an earlier Open
    // left uncommitted. Dead writers' leftovers in the folder are removed
    // first, unless the sweeps record says that was done already.
    bool Open(const std::filesystem::path& target,
              std::optional<std::filesystem::perms> permissions = std::nullopt,
              LeftoverSweeps* sweeps = nullptr);

    // Appends the bytes. False when the writer is not open or writing fails.
    bool Write(ByteView bytes);

    // Flushes the file to disk and puts it in place of the target. A
    // symbolic link at the target is replaced by the file itself.
    bool Commit();

    // The errno of the last failure (EISDIR for a target with no file name).
    int error() const { return error_; }

  private:
    bool CreateTemporary(mode_t mode);
    bool NameUnnamedFile();
    bool Fail();
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    int error_ = 0;
};

// Creates or replaces the file with exactly these bytes. A new file gets the
// usual permissions (0666 less the umask); a replaced file keeps its own.
// On failure the temporary file is removed and an existing target is left
// untouched. A symbolic link at the target is replaced by the file itself.
bool WriteFileAtomic(const std::filesystem::path& target, ByteView bytes);

// The same with the given permissions, in force from the moment the
// temporary file is created (for keys: owner_read | owner_write).
bool WriteFileAtomic(const std::filesystem::path& target, ByteView bytes,
                     std::filesystem::perms permissions);

// The whole content of a regular file, or nothing when it cannot be opened
// or read (a missing file, no permission) or is no regular file (a folder, a
// FIFO, a device: see input_file.h).
std::optional<Bytes> ReadFileBytes(const std::filesystem::path& file);

}  // namespace velmora
