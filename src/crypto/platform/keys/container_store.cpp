#include "crypto/platform/keys/container_store.h"

#include "crypto/platform/system/hash.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/locations.h"
#include "encoding/atomic_file.h"
#include "encoding/file_descriptor.h"
#include "encoding/utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

// How many folders one stem may name (the first, then "-1" to "-15"). A second
// container with the same stem needs a collision of 64 bits of SHA-1.
constexpr int kFolderSlots = 16;
constexpr std::size_t kStemBytes = 40;
constexpr mode_t kFolderMode = 0700;
constexpr auto kFilePermissions = fs::perms::owner_read | fs::perms::owner_write;

thread_local ScopedContainerWriteObserver* current_observer = nullptr;

uint32_t ErrorOfErrno(int code) {
    switch (code) {
        case EACCES:
        case EPERM:
        case EROFS:
            return error::kAccessDenied;
        case ENOSPC:
        case EDQUOT:
            return error::kDiskFull;
        default:
            return error::kWriteFault;
    }
}

// A folder of ours that no one else can change: a real folder (not a link),
// owned by the effective user, writable by no one else.
bool IsPrivateFolder(const struct stat& info) {
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 022) == 0;
}

bool MakeFolder(const fs::path& folder) {
    if (::mkdir(folder.c_str(), kFolderMode) != 0) {
        return false;
    }
    // The mode given to mkdir is cut by the umask; 0700 is set whole.
    return ::chmod(folder.c_str(), kFolderMode) == 0;
}

// The key folder, checked, and created (with its missing parents, 0700) when
// asked. nullopt with ERROR_FILE_NOT_FOUND when it is missing and not to be
// created, ERROR_ACCESS_DENIED when it is refused.
std::optional<fs::path> CheckedKeyFolder(bool create) {
    const fs::path folder = KeyFolder();
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            return Fail(ErrorOfErrno(errno), std::optional<fs::path>{});
        }
        if (!create) {
            return Fail(error::kFileNotFound, std::optional<fs::path>{});
        }
        std::vector<fs::path> missing;
        for (fs::path at = folder; !at.empty() && at != at.root_path(); at = at.parent_path()) {
            struct stat parent {};
            if (::lstat(at.c_str(), &parent) == 0) {
                break;
            }
            missing.push_back(at);
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            if (!MakeFolder(*it) && errno != EEXIST) {
                return Fail(ErrorOfErrno(errno), std::optional<fs::path>{});
            }
        }
        if (::lstat(folder.c_str(), &info) != 0) {
            return Fail(ErrorOfErrno(errno), std::optional<fs::path>{});
        }
    }
    if (!IsPrivateFolder(info)) {
        return Fail(error::kAccessDenied, std::optional<fs::path>{});
    }
    return folder;
}

std::string SlotName(const std::string& stem, int slot) {
    return slot == 0 ? stem : stem + "-" + std::to_string(slot);
}

// Reads a regular file without following a link at its name and without
// blocking on a pipe.
std::optional<Bytes> ReadRegularFile(const fs::path& file, std::size_t limit) {
    const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) {
            return Fail(error::kFileNotFound, std::optional<Bytes>{});
        }
        return Fail(errno == ELOOP ? error::kKeysetEntryBad : ErrorOfErrno(errno),
                    std::optional<Bytes>{});
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > limit) {
        return Fail(error::kKeysetEntryBad, std::optional<Bytes>{});
    }
    Bytes bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return Fail(error::kKeysetEntryBad, std::optional<Bytes>{});
        }
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

bool WriteFileInFolder(const fs::path& file, ByteView bytes) {
    AtomicFileWriter writer;
    if (!writer.Open(file, kFilePermissions) || !writer.Write(bytes)) {
        return Fail(ErrorOfErrno(writer.error()));
    }
    NotifyContainerWriteStep("file written");
    if (!writer.Commit()) {
        return Fail(ErrorOfErrno(writer.error()));
    }
    NotifyContainerWriteStep("file committed");
    return true;
}

// The container in a folder of the key folder, when the folder is a sound
// container folder: a private folder with a container file that reads.
std::optional<StoredContainer> ReadStoredContainer(const fs::path& key_folder,
                                                   const std::string& folder_name) {
    StoredContainer container;
    container.folder = key_folder / folder_name;
    container.folderName = folder_name;
    struct stat info {};
    if (::lstat(container.folder.c_str(), &info) != 0) {
        return Fail(error::kBadKeyset, std::optional<StoredContainer>{});
    }
    if (!IsPrivateFolder(info)) {
        return Fail(error::kKeysetEntryBad, std::optional<StoredContainer>{});
    }
    const auto bytes = ReadContainerFile(container, kContainerFileName, kMaxContainerFileSize);
    if (!bytes) {
        return Fail(error::kKeysetEntryBad, std::optional<StoredContainer>{});
    }
    auto record = ParseContainerRecord(*bytes);
    if (!record) {
        return std::nullopt;
    }
    container.record = std::move(*record);
    return container;
}

// A new hidden folder in the key folder, 0700.
std::optional<fs::path> HiddenFolder(const fs::path& key_folder, const char* kind) {
    std::string pattern = (key_folder / (std::string(".") + kind + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return Fail(ErrorOfErrno(errno), std::optional<fs::path>{});
    }
    if (::chmod(pattern.c_str(), kFolderMode) != 0) {
        const int code = errno;
        ::rmdir(pattern.c_str());
        return Fail(ErrorOfErrno(code), std::optional<fs::path>{});
    }
    return fs::path(pattern);
}

// The slot's container when it holds one of that name; the first free slot
// otherwise. nullopt in `found` and `free_slot` -1 when neither.
struct SlotSearch {
    std::optional<StoredContainer> found;
    int freeSlot = -1;
};

SlotSearch SearchSlots(const fs::path& key_folder, std::string_view name) {
    SlotSearch search;
    const std::string stem = ContainerFolderStem(name);
    for (int slot = 0; slot < kFolderSlots; ++slot) {
        const std::string folder_name = SlotName(stem, slot);
        struct stat info {};
        if (::lstat((key_folder / folder_name).c_str(), &info) != 0) {
            if (search.freeSlot < 0) {
                search.freeSlot = slot;
            }
            continue;
        }
        auto container = ReadStoredContainer(key_folder, folder_name);
        if (container && container->record.name == name) {
            search.found = std::move(container);
            return search;
        }
    }
    return search;
}

}  // namespace

std::string ContainerFolderStem(std::string_view name) {
    std::string stem;
    std::size_t pos = 0;
    while (pos < name.size()) {
        const std::size_t start = pos;
        const char32_t c = DecodeUtf8(name, pos);
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                          (c >= 0x0400 && c <= 0x04FF);
        const std::string_view piece = keep ? name.substr(start, pos - start) : "_";
        if (stem.size() + piece.size() > kStemBytes) {
            break;
        }
        stem.append(piece);
    }
    if (stem.empty()) {
        stem = "key";
    }
    const auto digest = HashBytes(HashAlgorithm::kSha1, AsBytes(name));
    char hex[3];
    stem += '.';
    for (std::size_t i = 0; digest && i < 8; ++i) {
        std::snprintf(hex, sizeof hex, "%02x", (*digest)[i]);
        stem += hex;
    }
    return stem;
}

std::optional<StoredContainer> FindStoredContainer(std::string_view name) {
    const auto key_folder = CheckedKeyFolder(false);
    if (!key_folder) {
        return GetLastError() == error::kFileNotFound
                   ? Fail(error::kBadKeyset, std::optional<StoredContainer>{})
                   : std::nullopt;
    }
    SlotSearch search = SearchSlots(*key_folder, name);
    if (!search.found) {
        // A damaged container file in the name's own first slot is reported as
        // such, not as a missing container.
        const auto first = ReadStoredContainer(*key_folder, SlotName(ContainerFolderStem(name), 0));
        if (!first && GetLastError() == error::kKeysetEntryBad) {
            return std::nullopt;
        }
        return Fail(error::kBadKeyset, std::optional<StoredContainer>{});
    }
    return search.found;
}

std::optional<StoredContainer> CreateStoredContainer(
    const ContainerRecord& record,
    const std::vector<std::pair<std::string, ByteView>>& extra_files) {
    const auto key_folder = CheckedKeyFolder(true);
    if (!key_folder) {
        return std::nullopt;
    }
    SlotSearch search = SearchSlots(*key_folder, record.name);
    if (search.found) {
        return Fail(error::kExists, std::optional<StoredContainer>{});
    }
    if (search.freeSlot < 0) {
        return Fail(error::kFail, std::optional<StoredContainer>{});
    }
    const auto staging = HiddenFolder(*key_folder, "new");
    if (!staging) {
        return std::nullopt;
    }
    std::error_code ignored;
    bool written =
        WriteFileInFolder(*staging / kContainerFileName, SerializeContainerRecord(record));
    for (const auto& [file, bytes] : extra_files) {
        written = written && WriteFileInFolder(*staging / file, bytes);
    }
    if (!written) {
        const uint32_t code = GetLastError();
        fs::remove_all(*staging, ignored);
        return Fail(code, std::optional<StoredContainer>{});
    }
    NotifyContainerWriteStep("folder staged");
    const std::string stem = ContainerFolderStem(record.name);
    for (int slot = search.freeSlot; slot < kFolderSlots; ++slot) {
        const std::string folder_name = SlotName(stem, slot);
        const fs::path target = *key_folder / folder_name;
        if (::renameat2(AT_FDCWD, staging->c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) ==
            0) {
            SyncFolder(*key_folder);
            NotifyContainerWriteStep("folder placed");
            return StoredContainer{target, folder_name, record};
        }
        if (errno != EEXIST) {
            const int code = errno;
            fs::remove_all(*staging, ignored);
            return Fail(ErrorOfErrno(code), std::optional<StoredContainer>{});
        }
        // Another process took the slot meanwhile: if it made the same
        // container, this one exists already.
        const auto other = ReadStoredContainer(*key_folder, folder_name);
        if (other && other->record.name == record.name) {
            fs::remove_all(*staging, ignored);
            return Fail(error::kExists, std::optional<StoredContainer>{});
        }
    }
    fs::remove_all(*staging, ignored);
    return Fail(error::kFail, std::optional<StoredContainer>{});
}

bool RemoveStoredContainer(const StoredContainer& container) {
    const fs::path key_folder = container.folder.parent_path();
    const auto graveyard = HiddenFolder(key_folder, "deleted");
    if (!graveyard) {
        return false;
    }
    NotifyContainerWriteStep("folder to remove");
    // The empty hidden folder is replaced by the container's in one rename.
    if (::rename(container.folder.c_str(), graveyard->c_str()) != 0) {
        const int code = errno;
        ::rmdir(graveyard->c_str());
        return Fail(code == ENOENT ? error::kBadKeyset : ErrorOfErrno(code));
    }
    SyncFolder(key_folder);
    NotifyContainerWriteStep("folder removed");
    std::error_code ignored;
    fs::remove_all(*graveyard, ignored);
    return true;
}

std::optional<std::vector<StoredContainer>> ListStoredContainers() {
    std::vector<StoredContainer> containers;
    const auto key_folder = CheckedKeyFolder(false);
    if (!key_folder) {
        if (GetLastError() == error::kFileNotFound) {
            return containers;
        }
        return std::nullopt;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(key_folder->c_str()), ::closedir);
    if (!dir) {
        return Fail(ErrorOfErrno(errno), std::optional<std::vector<StoredContainer>>{});
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string folder_name = entry->d_name;
        if (folder_name.starts_with('.')) {
            continue;
        }
        auto container = ReadStoredContainer(*key_folder, folder_name);
        // Only a folder that its own name leads to is a container: one renamed
        // by hand could be listed but never opened.
        if (!container) {
            continue;
        }
        const std::string stem = ContainerFolderStem(container->record.name);
        bool reachable = false;
        for (int slot = 0; slot < kFolderSlots && !reachable; ++slot) {
            reachable = SlotName(stem, slot) == folder_name;
        }
        if (reachable) {
            containers.push_back(std::move(*container));
        }
    }
    std::sort(containers.begin(), containers.end(),
              [](const StoredContainer& a, const StoredContainer& b) {
                  return a.record.name < b.record.name;
              });
    return containers;
}

std::optional<Bytes> ReadContainerFile(const StoredContainer& container, std::string_view file,
                                       std::size_t limit) {
    return ReadRegularFile(container.folder / file, limit);
}

bool WriteContainerFile(const StoredContainer& container, std::string_view file, ByteView bytes) {
    struct stat info {};
    if (::lstat(container.folder.c_str(), &info) != 0) {
        return Fail(error::kBadKeyset);
    }
    if (!IsPrivateFolder(info)) {
        return Fail(error::kKeysetEntryBad);
    }
    return WriteFileInFolder(container.folder / file, bytes);
}

ScopedContainerWriteObserver::ScopedContainerWriteObserver(Observer observer)
    : observer_(std::move(observer)), previous_(current_observer) {
    current_observer = this;
}

ScopedContainerWriteObserver::~ScopedContainerWriteObserver() {
    current_observer = previous_;
}

void NotifyContainerWriteStep(std::string_view step) {
    if (current_observer != nullptr && current_observer->observer_) {
        current_observer->observer_(step);
    }
}

}  // namespace velmora::platform
