#include "crypto/platform/system/inventory_source.h"

#include "crypto/platform/system/dpkg_status.h"

namespace velmora::platform {

PackageDatabase PackageDatabase::Read(const std::filesystem::path& dpkg_root) {
    PackageDatabase database;
    for (const DpkgPackage& package : ReadDpkgStatus(dpkg_root)) {
        if (package.Installed()) {
            database.products_.push_back(
                InstalledProduct{package.package, package.version, package.MaintainerName()});
        }
    }
    return database;
}

std::optional<InstalledProduct> PackageDatabase::Find(std::string_view package) const {
    for (const InstalledProduct& product : products_) {
        if (product.displayName == package) {
            return product;
        }
    }
    return std::nullopt;
}

std::vector<std::string> PackageDatabase::PackageNames() const {
    std::vector<std::string> names;
    names.reserve(products_.size());
    for (const InstalledProduct& product : products_) {
        names.push_back(product.displayName);
    }
    return names;
}

}  // namespace velmora::platform
