// The Debian package database's status file, read only: one stanza per
// package, with the fields the program uses.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// Where dpkg keeps its database; tests point readers at a folder of their own.
inline constexpr std::string_view kDpkgDatabase = "/var/lib/dpkg";

struct DpkgPackage {
    std::string package;
    std::string architecture;
    std::string status;  // "want flag state", e.g. "install ok installed"
    std::string version;
    std::string maintainer;

    // Only a package whose state is "installed" is on the machine;
    // "half-installed", "config-files" and the like are not.
    bool Installed() const;

    // The maintainer without the e-mail address: "Name <address>" gives "Name".
    std::string MaintainerName() const;
};

// Every stanza of `dpkg_root`/status that names a package, in file order.
// A missing or unreadable file gives none.
std::vector<DpkgPackage> ReadDpkgStatus(const std::filesystem::path& dpkg_root);

}  // namespace velmora::platform
