#include "crypto/platform/inventory_source.h"

#include "crypto/platform/dpkg_status.h"

namespace velmora::platform {
namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

// "Name <address>" gives "Name": the publisher, as a person reads it.
std::string PublisherOf(std::string_view maintainer) {
    const std::size_t angle = maintainer.find('<');
    if (angle != std::string_view::npos) {
        maintainer = maintainer.substr(0, angle);
    }
    return std::string(Trimmed(maintainer));
}

}  // namespace

PackageDatabase PackageDatabase::Read(const std::filesystem::path& dpkg_root) {
    PackageDatabase database;
    for (const DpkgPackage& package : ReadDpkgStatus(dpkg_root)) {
        if (package.Installed()) {
            database.products_.push_back(InstalledProduct{package.package, package.version,
                                                          PublisherOf(package.maintainer)});
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

InstalledProduct OwnProviderProduct() {
    return InstalledProduct{"Программный криптопровайдер Velmora (ГОСТ Р 34.10-2001, 34.10-2012)",
                            VELMORA_VERSION, "Velmora"};
}

}  // namespace velmora::platform
