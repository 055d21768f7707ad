#include "crypto/platform/inventory_source.h"

#include <fstream>

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

struct Stanza {
    std::string package;
    std::string status;
    std::string version;
    std::string maintainer;
};

// "Status: want flag status": only a package whose state is "installed" is
// on the machine; "half-installed", "config-files" and the like are not.
bool Installed(const Stanza& stanza) {
    const std::string_view status = stanza.status;
    const std::size_t last = status.rfind(' ');
    return !stanza.package.empty() && last != std::string_view::npos &&
           status.substr(last + 1) == "installed";
}

}  // namespace

PackageDatabase PackageDatabase::Read(const std::filesystem::path& dpkg_root) {
    PackageDatabase database;
    std::ifstream in(dpkg_root / "status", std::ios::binary);
    if (!in) {
        return database;
    }
    Stanza stanza;
    std::string line;
    while (true) {
        const bool more = static_cast<bool>(std::getline(in, line));
        const std::string_view text = more ? Trimmed(line) : std::string_view{};
        if (text.empty()) {
            if (Installed(stanza)) {
                database.products_.push_back(InstalledProduct{stanza.package, stanza.version,
                                                              PublisherOf(stanza.maintainer)});
            }
            stanza = Stanza{};
            if (!more) {
                return database;
            }
            continue;
        }
        if (line[0] == ' ' || line[0] == '\t') {
            continue;  // continuation of a multi-line field (the description)
        }
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view field = text.substr(0, colon);
        const std::string_view value = Trimmed(text.substr(colon + 1));
        if (field == "Package") {
            stanza.package = value;
        } else if (field == "Status") {
            stanza.status = value;
        } else if (field == "Version") {
            stanza.version = value;
        } else if (field == "Maintainer") {
            stanza.maintainer = value;
        }
    }
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
