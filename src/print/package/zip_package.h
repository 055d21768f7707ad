// An Office Open XML package (a zip archive) read from an untrusted file:
// its parts are read with bounds on count, size and compression ratio, and a
// new archive is written with some parts replaced and every other part
// copied as it was stored, compressed bytes and all.
#pragma once

#include "encoding/bytes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// libzip's archive; only the package's own source file includes libzip.
struct zip;

namespace velmora::print {

// Bounds that keep a hostile archive (a zip bomb) from exhausting memory or
// disk, here or in the application that opens the filled copy.
struct PackageLimits {
    std::uint64_t maxFileSize = 64ull << 20;
    std::uint64_t maxEntries = 10000;
    std::uint64_t maxPartSize = 32ull << 20;    // one part, unpacked
    std::uint64_t maxTotalSize = 256ull << 20;  // every part, unpacked
    // Unpacked size per packed byte, checked for parts above ratioFloor:
    // ordinary XML packs 5 to 50 times, a bomb about a thousand.
    std::uint64_t maxRatio = 200;
    std::uint64_t ratioFloor = 1ull << 20;
};

class Package {
  public:
    // Opens the archive held in the bytes (which the package copies). Raises
    // Error with a message naming the template for anything that is not a
    // sound, unencrypted zip archive within the limits.
    Package(ByteView bytes, std::string displayName, const PackageLimits& limits = {});
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // The name the messages give the template (its path).
    const std::string& DisplayName() const { return displayName_; }

    // The part's entry name as stored, found ignoring ASCII case (part names
    // are case-insensitive); a leading "/" is ignored. Empty when absent.
    std::string Find(std::string_view part) const;
    bool Has(std::string_view part) const { return !Find(part).empty(); }

    // The current content of a part: the replaced text, or the stored one
    // unpacked. Raises Error for a missing or damaged part.
    std::string Read(std::string_view part) const;

    // Replaces the content of an existing part in the archive Write makes.
    void Replace(std::string_view part, std::string content);

    // Leaves the part out of the archive Write makes.
    void Remove(std::string_view part);

    // The archive with the replaced parts, every part in its stored order.
    Bytes Write() const;

    // Raises Error("Шаблон <name> повреждён: <detail>").
    [[noreturn]] void Damaged(const std::string& detail) const;

  private:
    struct ArchiveCloser {
        void operator()(struct zip* archive) const;
    };

    void CheckEntries(const PackageLimits& limits);
    [[noreturn]] void Rejected(const std::string& detail) const;

    std::string displayName_;
    Bytes bytes_;
    std::unique_ptr<struct zip, ArchiveCloser> archive_;
    std::vector<std::string> names_;
    std::map<std::string, std::string> replaced_;  // by stored entry name
    std::vector<std::string> removed_;
};

// A new archive of the parts (name, content), in order, deflated.
Bytes MakePackage(const std::vector<std::pair<std::string, std::string>>& parts);

// The message for a template that is no package at all.
std::string NotAPackageMessage(const std::string& displayName);

}  // namespace velmora::print
