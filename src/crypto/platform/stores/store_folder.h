// The files of a system store's folder: one DER file per certificate named
// by its SHA-1 thumbprint ("<40 hex digits>.cer"), a property file beside it
// ("<thumbprint>.key", the key-provider property) and CRLs named by their own
// SHA-1 ("<hash>.crl"). Nothing here follows a symbolic link: a store folder
// that is one is refused, and an entry that is one is skipped.
#pragma once

#include "encoding/bytes.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

inline constexpr std::string_view kCertificateSuffix = ".cer";
inline constexpr std::string_view kKeyProvSuffix = ".key";
inline constexpr std::string_view kCrlSuffix = ".crl";

// The largest store file that is read; a larger one is no certificate.
inline constexpr std::size_t kMaxStoreFileSize = 4 * 1024 * 1024;

// Makes the folder and the missing folders above it (0700) and checks that
// it and its parent are folders (not symbolic links) of the effective user
// that no one else may write.
// False with the last error set (ERROR_ACCESS_DENIED for a link or a
// non-folder, else the error of the failing call).
bool PrepareStoreFolder(const std::filesystem::path& folder);

// The names of the files in the folder that end with the suffix and whose
// stem is 40 upper-case hex digits, sorted. Dot files (unfinished atomic
// writes) and other names are left out.
std::optional<std::vector<std::string>> ListStoreFiles(const std::filesystem::path& folder,
                                                       std::string_view suffix);

// Reads a regular file of the folder without following a link; nullopt with
// the last error set (ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED for a link or
// a non-regular file, ERROR_FILE_TOO_LARGE past kMaxStoreFileSize).
std::optional<Bytes> ReadStoreFile(const std::filesystem::path& folder, const std::string& name);

// Writes a file of the folder atomically with owner-only permissions.
bool WriteStoreFile(const std::filesystem::path& folder, const std::string& name, ByteView bytes);

// Removes a file of the folder and makes the removal durable. A missing file
// gives false with ERROR_FILE_NOT_FOUND.
bool RemoveStoreFile(const std::filesystem::path& folder, const std::string& name);

// The name stem of a hash: 40 upper-case hex digits for 20 bytes.
std::string HashFileStem(ByteView sha1);

// Sets the last error from an errno value.
void SetLastErrorFromErrno(int error_number);

}  // namespace velmora::platform
