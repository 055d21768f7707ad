// The system's record of installed software, read only. The Debian package
// database stands in for the uninstall entries of another system: a package
// name plays the part of a product code, and a fully installed package is a
// present entry. A missing or unreadable database is simply an empty one.
#pragma once

#include "crypto/platform/system/system_info.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// What an uninstall entry tells about a product: its name, its version and
// who publishes it. An absent value reads as empty.
struct InstalledProduct {
    std::string displayName;     // the package name
    std::string displayVersion;  // the package version, as the database holds it
    // The package's maintainer, without the e-mail address: who packaged it,
    // which for a distribution's package is not who publishes the product.
    std::string publisher;

    bool operator==(const InstalledProduct&) const = default;
};

// The fully installed packages of one database, read once.
class PackageDatabase {
  public:
    // Reads `dpkg_root`/status; tests point the root at a folder of their own.
    static PackageDatabase Read(const std::filesystem::path& dpkg_root = kDpkgDatabase);

    // The product of an installed package; nothing when the package is not
    // installed (absent, removed, or only half installed). When several
    // architectures of the package are installed, the first one listed counts.
    std::optional<InstalledProduct> Find(std::string_view package) const;

    // The names of the installed packages, in the order the database lists them.
    std::vector<std::string> PackageNames() const;

  private:
    std::vector<InstalledProduct> products_;
};

}  // namespace velmora::platform
