#include "app/inventory/installed_software.h"

#include "crypto/platform/system/system_info.h"
#include "encoding/utf8.h"

#include <array>

namespace velmora {
namespace {

// The packages that stand for each group's products, in the order they are
// listed. CryptoPro CSP is the base package with its tools, the CAdES
// library and the browser plug-in; the engine that carries the GOST
// algorithms for OpenSSL counts among the rest.
constexpr std::array kCryptoProPackages = {
    std::string_view{"lsb-cprocsp-base"},
    std::string_view{"lsb-cprocsp-capilite-64"},
    std::string_view{"cprocsp-pki-cades-64"},
    std::string_view{"cprocsp-pki-plugin-64"},
};
constexpr std::array kSecurityCodePackages = {
    std::string_view{"sc-csp"},
    std::string_view{"continent-ap"},
    std::string_view{"continent-tls-client"},
    std::string_view{"jinn-client"},
    std::string_view{"secretnet-lsp"},
};
constexpr std::array kOtherPackages = {
    std::string_view{"libengine-gost-openssl"},
    std::string_view{"libengine-gost-openssl1.1"},
};

// The package whose presence gives CryptoPro CSP's version, and the prefix of
// the packages that carry its certification class ("lsb-cprocsp-kc1-64").
constexpr std::string_view kCryptoProBase = "lsb-cprocsp-base";
constexpr std::string_view kCryptoProClassPrefix = "lsb-cprocsp-kc";

std::string ProductLine(const platform::InstalledProduct& product) {
    return product.displayName + " (версия " + product.displayVersion + ") " + product.publisher;
}

template <std::size_t N>
void AddProducts(std::vector<std::string>& lines, const platform::PackageDatabase& database,
                 const std::array<std::string_view, N>& packages) {
    for (std::string_view package : packages) {
        if (const auto product = database.Find(package)) {
            lines.push_back(ProductLine(*product));
        }
    }
}

std::string UpperLatin(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace

std::vector<std::string> InstalledCryptoSoftware(const InventorySources& sources) {
    const platform::PackageDatabase database = platform::PackageDatabase::Read(sources.dpkgRoot);
    std::vector<std::string> lines;
    lines.push_back("ПО КриптоПро:");
    lines.push_back("СКЗИ «КриптоПро CSP» версии " + CryptoProVersion(database));
    AddProducts(lines, database, kCryptoProPackages);

    lines.push_back("");
    lines.push_back("ПО Кода Безопасности:");
    AddProducts(lines, database, kSecurityCodePackages);
    const std::string vpn_version =
        platform::FileVersionText(sources.vpnClientManager, sources.dpkgRoot);
    if (vpn_version != "NULL") {
        lines.push_back("СКЗИ \"Континент-АП\" версии " + vpn_version);
    }

    lines.push_back("");
    lines.push_back("Прочее:");
    lines.push_back(ProductLine(platform::OwnProviderProduct()));
    AddProducts(lines, database, kOtherPackages);
    return lines;
}

std::string CryptoProVersion(const platform::PackageDatabase& database) {
    const auto base = database.Find(kCryptoProBase);
    return base ? base->displayVersion : std::string();
}

std::string CryptoProVersion(const std::filesystem::path& dpkg_root) {
    return CryptoProVersion(platform::PackageDatabase::Read(dpkg_root));
}

std::string CryptoProClass(const platform::PackageDatabase& database) {
    // The class package's name plays the part of the provider's service name:
    // "lsb-cprocsp-kc2-64" reads as "LSB-CPROCSP-KC2-64", which gives "КС2".
    for (const std::string& name : database.PackageNames()) {
        if (name.starts_with(kCryptoProClassPrefix)) {
            return CryptoProClassOf(UpperLatin(name));
        }
    }
    return {};
}

std::string CryptoProClass(const std::filesystem::path& dpkg_root) {
    return CryptoProClass(platform::PackageDatabase::Read(dpkg_root));
}

std::string CryptoProClassOf(std::string_view service_name) {
    const std::size_t kc = service_name.find("KC");
    if (kc == std::string_view::npos) {
        return std::string(service_name);
    }
    std::string result = "КС";
    std::size_t pos = kc + 2;
    if (pos < service_name.size()) {
        const char32_t next = DecodeUtf8(service_name, pos);
        result += next == kMalformedUtf8 ? std::string("?") : Utf8Of(next);
    }
    return result;
}

}  // namespace velmora
