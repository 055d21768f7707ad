#include "crypto/platform/system/dpkg_status.h"

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

}  // namespace

bool DpkgPackage::Installed() const {
    const std::string_view state = status;
    const std::size_t last = state.rfind(' ');
    return last != std::string_view::npos && state.substr(last + 1) == "installed";
}

std::string DpkgPackage::MaintainerName() const {
    std::string_view name = maintainer;
    if (const std::size_t angle = name.find('<'); angle != std::string_view::npos) {
        name = name.substr(0, angle);
    }
    return std::string(Trimmed(name));
}

std::vector<DpkgPackage> ReadDpkgStatus(const std::filesystem::path& dpkg_root) {
    std::vector<DpkgPackage> packages;
    std::ifstream in(dpkg_root / "status", std::ios::binary);
    if (!in) {
        return packages;
    }
    DpkgPackage stanza;
    std::string line;
    while (true) {
        const bool more = static_cast<bool>(std::getline(in, line));
        const std::string_view text = more ? Trimmed(line) : std::string_view{};
        if (text.empty()) {
            if (!stanza.package.empty()) {
                packages.push_back(std::move(stanza));
            }
            stanza = DpkgPackage{};
            if (!more) {
                return packages;
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
        const std::string value(Trimmed(text.substr(colon + 1)));
        if (field == "Package") {
            stanza.package = value;
        } else if (field == "Architecture") {
            stanza.architecture = value;
        } else if (field == "Status") {
            stanza.status = value;
        } else if (field == "Version") {
            stanza.version = value;
        } else if (field == "Maintainer") {
            stanza.maintainer = value;
        }
    }
}

}  // namespace velmora::platform
