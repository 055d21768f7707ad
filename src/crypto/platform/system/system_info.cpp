#include "crypto/platform/system/system_info.h"

#include "crypto/platform/system/last_error.h"

#include <unistd.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <system_error>
#include <vector>

namespace velmora::platform {
namespace fs = std::filesystem;
namespace {

// The runs of decimal digits in a text, each saturating at 32 bits.
std::vector<std::uint32_t> NumbersOf(std::string_view text) {
    std::vector<std::uint32_t> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        std::uint64_t value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
            if (value > UINT32_MAX) {
                value = UINT32_MAX + std::uint64_t{1};  // stays above the limit, never overflows
            }
            ++i;
        }
        numbers.push_back(value > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(value));
    }
    return numbers;
}

// True when the package file list names exactly one of the paths.
bool ListNamesFile(const fs::path& list, const std::vector<std::string>& paths) {
    std::ifstream in(list, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        for (const std::string& path : paths) {
            if (line == path) {
                return true;
            }
        }
    }
    return false;
}

// The package (and architecture, when the list name carries one) whose file
// list names the file; dpkg names the lists "<package>.list" or
// "<package>:<arch>.list".
struct Owner {
    std::string package;
    std::string architecture;
};

std::optional<Owner> FindOwner(const fs::path& info, const std::vector<std::string>& paths) {
    std::error_code ec;
    fs::directory_iterator it(info, ec);
    if (ec) {
        return std::nullopt;
    }
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            return std::nullopt;
        }
        const fs::path& list = it->path();
        if (list.extension() != ".list" || !it->is_regular_file(ec)) {
            continue;
        }
        if (!ListNamesFile(list, paths)) {
            continue;
        }
        const std::string stem = list.stem().string();
        const std::size_t colon = stem.find(':');
        if (colon == std::string::npos) {
            return Owner{stem, ""};
        }
        return Owner{stem.substr(0, colon), stem.substr(colon + 1)};
    }
    return std::nullopt;
}

// The installed version of the package, from the database's status file.
std::optional<std::string> InstalledVersion(const fs::path& dpkg_root, const Owner& owner) {
    for (const DpkgPackage& package : ReadDpkgStatus(dpkg_root)) {
        if (package.package == owner.package && package.Installed() && !package.version.empty() &&
            (owner.architecture.empty() || package.architecture == owner.architecture)) {
            return package.version;
        }
    }
    return std::nullopt;
}

// The forms under which the package lists may name the file: its absolute,
// normalised path, and the path with symbolic links resolved.
std::vector<std::string> CandidatePaths(const fs::path& file) {
    std::vector<std::string> paths;
    std::error_code ec;
    fs::path absolute = fs::absolute(file, ec);
    if (ec) {
        return paths;
    }
    std::string normal = absolute.lexically_normal().string();
    if (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    paths.push_back(normal);
    const fs::path canonical = fs::weakly_canonical(absolute, ec);
    if (!ec && canonical.string() != normal) {
        paths.push_back(canonical.string());
    }
    return paths;
}

}  // namespace

std::string LastErrorText() {
    return ErrorMessageText(GetLastError());
}

bool IsUserAdmin() {
    return geteuid() == 0;
}

std::optional<std::string> DebianVersionText(std::string_view version) {
    if (const std::size_t colon = version.find(':'); colon != std::string_view::npos) {
        version.remove_prefix(colon + 1);
    }
    std::string_view upstream = version;
    std::string_view revision;
    const std::size_t dash = version.rfind('-');
    if (dash != std::string_view::npos) {
        upstream = version.substr(0, dash);
        revision = version.substr(dash + 1);
    }
    const std::vector<std::uint32_t> numbers = NumbersOf(upstream);
    if (numbers.empty()) {
        return std::nullopt;
    }
    std::array<std::uint32_t, 4> places{};
    for (std::size_t i = 0; i < 3 && i < numbers.size(); ++i) {
        places[i] = numbers[i];
    }
    if (dash != std::string_view::npos) {
        const std::vector<std::uint32_t> revision_numbers = NumbersOf(revision);
        places[3] = revision_numbers.empty() ? 0 : revision_numbers.front();
    } else if (numbers.size() > 3) {
        places[3] = numbers[3];
    }
    return std::to_string(places[0]) + "." + std::to_string(places[1]) + "." +
           std::to_string(places[2]) + "." + std::to_string(places[3]);
}

std::string FileVersionText(const fs::path& file, const fs::path& dpkg_root) {
    const std::vector<std::string> paths = CandidatePaths(file);
    if (paths.empty()) {
        return "NULL";
    }
    const std::optional<Owner> owner = FindOwner(dpkg_root / "info", paths);
    if (!owner) {
        return "NULL";
    }
    const std::optional<std::string> version = InstalledVersion(dpkg_root, *owner);
    if (!version) {
        return "NULL";
    }
    return DebianVersionText(*version).value_or("NULL");
}

}  // namespace velmora::platform
