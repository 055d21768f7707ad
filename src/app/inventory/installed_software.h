// The list of the cryptographic software installed on the machine, in three
// groups: CryptoPro's, Security Code's and the rest.
#pragma once

#include "crypto/platform/system/inventory_source.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The executable of Security Code's VPN client manager, whose version the list
// reports on its own line.
inline constexpr std::string_view kVpnClientManager = "/opt/securitycode/continent-ap/bin/apmgr";

// Where the inventory looks: the package database and the VPN client's
// manager. Tests point both at folders of their own.
struct InventorySources {
    std::filesystem::path dpkgRoot = platform::kDpkgDatabase;
    std::filesystem::path vpnClientManager = kVpnClientManager;
};

// The lines of the list: the three group headings, the CryptoPro CSP version
// line, one line per installed product of each group under the name its
// vendor gives it, with the vendor as publisher, the VPN client line when
// the client is installed, and the blank lines between the groups. "Прочее"
// always holds the program's own provider (said to be no certified tool),
// the OpenSSL version in use and whether the GOST engine is installed and
// loads.
std::vector<std::string> InstalledCryptoSoftware(const InventorySources& sources = {});

// The line of the program's own cryptographic provider.
std::string OwnProviderLine();

// The line of the GOST engine: its package version when a package carries
// it, and whether it is installed and loads (with the reason when it does
// not).
std::string GostEngineLine(const std::optional<std::string>& packageVersion, bool loads,
                           const std::string& failure);

// The installed CryptoPro CSP version; empty when it is not installed.
std::string CryptoProVersion(const platform::PackageDatabase& database);
std::string CryptoProVersion(const std::filesystem::path& dpkg_root = platform::kDpkgDatabase);

// The certification class of the installed CryptoPro CSP ("КС1", "КС2" ...);
// empty when it is not installed.
std::string CryptoProClass(const platform::PackageDatabase& database);
std::string CryptoProClass(const std::filesystem::path& dpkg_root = platform::kDpkgDatabase);

// The class text of the provider's service name: "КС" (Cyrillic) and the one
// character after the first Latin "KC", or the name itself when it holds no "KC".
std::string CryptoProClassOf(std::string_view service_name);

}  // namespace velmora
