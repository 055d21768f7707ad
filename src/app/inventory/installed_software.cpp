#include "app/inventory/installed_software.h"

#include "crypto/platform/system/gost_engine.h"
#include "crypto/platform/system/system_info.h"
#include "encoding/utf8.h"

#include <array>

namespace velmora {
namespace {

// A product as an administrator knows it: the package that carries it, the
// name it is sold and documented under, and who publishes it (empty where
// that is not known).
struct KnownProduct {
    std::string_view package;
    std::string_view name;
    std::string_view publisher;
};

constexpr std::string_view kCryptoPro = "ООО \"КРИПТО-ПРО\"";
constexpr std::string_view kSecurityCode = "АО \"Код Безопасности\"";

// The package names are those of the vendors' own Linux packages, as their
// installation archives name them (CryptoPro CSP 5.0: lsb-cprocsp-base,
// lsb-cprocsp-capilite-64, lsb-cprocsp-kc1-64 / -kc2-64; the browser plug-in
// archive: cprocsp-pki-cades-64, cprocsp-pki-plugin-64).
constexpr std::array kCryptoProProducts = {
    KnownProduct{"lsb-cprocsp-base", "КриптоПро CSP", kCryptoPro},
    KnownProduct{"lsb-cprocsp-capilite-64", "КриптоПро CSP: утилиты и интерфейс CryptoAPI",
                 kCryptoPro},
    KnownProduct{"lsb-cprocsp-kc1-64", "КриптоПро CSP: криптоядро класса КС1", kCryptoPro},
    KnownProduct{"lsb-cprocsp-kc2-64", "КриптоПро CSP: криптоядро класса КС2", kCryptoPro},
    KnownProduct{"cprocsp-pki-cades-64", "КриптоПро ЭЦП SDK (CAdES)", kCryptoPro},
    KnownProduct{"cprocsp-pki-plugin-64", "КриптоПро ЭЦП Browser plug-in", kCryptoPro},
};
// Security Code distributes its Linux products to customers only; these
// names are the ones its products are expected under and could not be
// checked against a public listing.
constexpr std::array kSecurityCodeProducts = {
    KnownProduct{"sc-csp", "СКЗИ \"Код Безопасности CSP\"", kSecurityCode},
    KnownProduct{"continent-ap", "Абонентский пункт \"Континент-АП\"", kSecurityCode},
    KnownProduct{"continent-tls-client", "\"Континент TLS Клиент\"", kSecurityCode},
    KnownProduct{"jinn-client", "\"Jinn-Client\"", kSecurityCode},
    KnownProduct{"secretnet-lsp", "Secret Net LSP", kSecurityCode},
};
// The engine that carries the GOST algorithms for OpenSSL, under the names
// Debian and its derivatives give it.
constexpr std::array kGostEnginePackages = {
    std::string_view{"libengine-gost-openssl"},
    std::string_view{"libengine-gost-openssl1.1"},
};

// The package whose presence gives CryptoPro CSP's version, and the prefix of
// the packages that carry its certification class ("lsb-cprocsp-kc1-64").
constexpr std::string_view kCryptoProBase = "lsb-cprocsp-base";
constexpr std::string_view kCryptoProClassPrefix = "lsb-cprocsp-kc";

// "name (версия version) publisher", without a trailing blank when the
// publisher is not known.
std::string ProductLine(std::string_view name, std::string_view version,
                        std::string_view publisher) {
    std::string line = std::string(name) + " (версия " + std::string(version) + ")";
    if (!publisher.empty()) {
        line += " " + std::string(publisher);
    }
    return line;
}

template <std::size_t N>
void AddProducts(std::vector<std::string>& lines, const platform::PackageDatabase& database,
                 const std::array<KnownProduct, N>& products) {
    for (const KnownProduct& known : products) {
        if (const auto product = database.Find(known.package)) {
            lines.push_back(ProductLine(known.name, product->displayVersion, known.publisher));
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
    AddProducts(lines, database, kCryptoProProducts);

    lines.push_back("");
    lines.push_back("ПО Кода Безопасности:");
    AddProducts(lines, database, kSecurityCodeProducts);
    const std::string vpn_version =
        platform::FileVersionText(sources.vpnClientManager, sources.dpkgRoot);
    if (vpn_version != "NULL") {
        lines.push_back("СКЗИ \"Континент-АП\" версии " + vpn_version);
    }

    lines.push_back("");
    lines.push_back("Прочее:");
    lines.push_back(OwnProviderLine());
    lines.push_back(ProductLine("OpenSSL", platform::OpenSslVersionText(), "The OpenSSL Project"));
    std::optional<std::string> engine_version;
    for (std::string_view package : kGostEnginePackages) {
        if (const auto product = database.Find(package)) {
            engine_version = product->displayVersion;
            break;
        }
    }
    const bool loads = platform::StartGostEngine();
    lines.push_back(GostEngineLine(engine_version, loads, platform::GostEngineFailureText()));
    return lines;
}

std::string OwnProviderLine() {
    return std::string("Криптопровайдер программы Velmora (версия ") + VELMORA_VERSION +
           "): программная реализация ГОСТ Р 34.10-2001 и ГОСТ Р 34.10-2012 на OpenSSL, "
           "не сертифицированное СКЗИ";
}

std::string GostEngineLine(const std::optional<std::string>& packageVersion, bool loads,
                           const std::string& failure) {
    std::string line = "Модуль ГОСТ для OpenSSL (gost engine)";
    if (packageVersion) {
        line += " (версия " + *packageVersion + ")";
    }
    if (loads) {
        return line + (packageVersion ? ": установлен, загружается" : ": загружается");
    }
    if (!packageVersion) {
        return line + ": не установлен";
    }
    line += ": установлен, но не загружается";
    if (!failure.empty()) {
        line += " (" + failure + ")";
    }
    return line;
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
