// The reader "HDIMAGE" on disk: one folder per key container under
// KeyFolder(). A container's folder is named after its name, made safe (only
// letters, digits, "-" and "_", at most 40 bytes) and followed by "." and 16
// hex digits of the name's SHA-1, so a name can never reach outside the key
// folder, and names that look alike still get folders of their own; the
// real name is kept in the folder's "container" file. Folders are 0700,
// files 0600, and every change is one atomic step: a file is written beside
// its target and renamed over it, a new container is assembled in a hidden
// folder and renamed into place, a deleted one is renamed away first. A key
// folder that is a symbolic link, not ours, or writable by others is refused.
// Boundary-internal.
#pragma once

#include "crypto/platform/keys/container_files.h"
#include "encoding/bytes.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// A container found on disk.
struct StoredContainer {
    std::filesystem::path folder;
    std::string folderName;  // the last part of the unique name "HDIMAGE\<folder>"
    ContainerRecord record;
};

// The folder name's stem for a container name (without a collision suffix).
std::string ContainerFolderStem(std::string_view name);

// The container of that name; NTE_BAD_KEYSET when there is none,
// NTE_KEYSET_ENTRY_BAD when its container file is damaged, ERROR_ACCESS_DENIED
// for a key folder that is refused.
std::optional<StoredContainer> FindStoredContainer(std::string_view name);

// Creates the container with its container file, in one step; NTE_EXISTS
// when a container of that name exists. `extra_files` (name, content) are
// put into the folder before it appears, so a container created with its
// key and certificate is never seen without them.
std::optional<StoredContainer> CreateStoredContainer(
    const ContainerRecord& record,
    const std::vector<std::pair<std::string, ByteView>>& extra_files = {});

// Removes the container's folder; it disappears in one step.
bool RemoveStoredContainer(const StoredContainer& container);

// Every container whose folder and container file are sound, ordered by name.
// A missing key folder gives an empty list; a refused one nullopt.
std::optional<std::vector<StoredContainer>> ListStoredContainers();

// A file of the container folder: nullopt with ERROR_FILE_NOT_FOUND when it
// is missing, NTE_KEYSET_ENTRY_BAD when it is not a regular file (a link, a
// folder) or larger than `limit`.
std::optional<Bytes> ReadContainerFile(const StoredContainer& container, std::string_view file,
                                       std::size_t limit);

// Writes a file of the container folder atomically, 0600.
bool WriteContainerFile(const StoredContainer& container, std::string_view file, ByteView bytes);

// The steps of a container write, in order, for tests that stop a process at
// each of them: a test installs an observer on its thread and ends the
// process when the step it waits for comes.
class ScopedContainerWriteObserver {
  public:
    using Observer = std::function<void(std::string_view step)>;
    explicit ScopedContainerWriteObserver(Observer observer);
    ~ScopedContainerWriteObserver();
    ScopedContainerWriteObserver(const ScopedContainerWriteObserver&) = delete;
    ScopedContainerWriteObserver& operator=(const ScopedContainerWriteObserver&) = delete;

  private:
    Observer observer_;
    ScopedContainerWriteObserver* previous_;
    friend void NotifyContainerWriteStep(std::string_view step);
};

void NotifyContainerWriteStep(std::string_view step);

}  // namespace velmora::platform
