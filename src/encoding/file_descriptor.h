// A file descriptor that closes itself, and the folder flush that makes a
// rename or a new file durable.
#pragma once

#include <filesystem>

namespace velmora {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();
    int get() const { return fd_; }

  private:
    int fd_;
};

// Flushes the folder's entries to disk, so that what was just renamed or
// created in it survives a crash. Failures are ignored: the data is already
// in place, and this only makes its name durable.
void SyncFolder(const std::filesystem::path& folder);

}  // namespace velmora
