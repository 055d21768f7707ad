#include "app/inventory/installed_software.h"

#include "gui/test_files.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using Lines = std::vector<std::string>;

class Inventory : public testing::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        std::filesystem::create_directories(folder_ / "info");
        sources_.dpkgRoot = folder_;
        sources_.vpnClientManager = folder_ / "opt" / "apmgr";
    }

    // A status-file stanza.
    static std::string Package(const std::string& name, const std::string& status,
                               const std::string& version, const std::string& maintainer) {
        std::string stanza = "Package: " + name + "\nStatus: " + status + "\n";
        if (!version.empty()) {
            stanza += "Version: " + version + "\n";
        }
        stanza += "Maintainer: " + maintainer + "\nDescription: a package\n more text\n\n";
        return stanza;
    }

    std::string OwnProviderLine() const {
        const platform::InstalledProduct own = platform::OwnProviderProduct();
        return own.displayName + " (версия " + own.displayVersion + ") " + own.publisher;
    }

    InventorySources sources_;
};

TEST_F(Inventory, InstalledProductsByGroupInTheTableOrder) {
    // The database lists the packages in another order than the groups do.
    testing::WriteAll(
        folder_ / "status",
        Package("libengine-gost-openssl", "install ok installed", "3.0.1-2+b1",
                "Wartan Hachaturow <wart@debian.org>") +
            Package("cprocsp-pki-cades-64", "install ok installed", "", "Crypto-Pro <x@y>") +
            Package("secretnet-lsp", "deinstall ok config-files", "1.0", "Security Code") +
            Package("continent-ap", "install ok installed", "4.1.7-3", "Security Code <sc@sc>") +
            Package("lsb-cprocsp-kc2-64", "install ok installed", "5.0.12000-6", "Crypto-Pro") +
            Package("lsb-cprocsp-base", "install ok installed", "5.0.12000-6",
                    "Crypto-Pro <support@cryptopro.ru>") +
            Package("zlib1g", "install ok installed", "1:1.2.13", "Mark Brown") +
            Package("lsb-cprocsp-capilite-64", "install ok half-installed", "5.0", "Crypto-Pro"));
    // The VPN client's manager belongs to the installed client package.
    testing::WriteAll(folder_ / "info" / "continent-ap.list",
                      "/.\n" + sources_.vpnClientManager.string() + "\n");

    const Lines expected = {
        "ПО КриптоПро:",
        "СКЗИ «КриптоПро CSP» версии 5.0.12000-6",
        "lsb-cprocsp-base (версия 5.0.12000-6) Crypto-Pro",
        "cprocsp-pki-cades-64 (версия ) Crypto-Pro",
        "",
        "ПО Кода Безопасности:",
        "continent-ap (версия 4.1.7-3) Security Code",
        "СКЗИ \"Континент-АП\" версии 4.1.7.3",
        "",
        "Прочее:",
        OwnProviderLine(),
        "libengine-gost-openssl (версия 3.0.1-2+b1) Wartan Hachaturow",
    };
    EXPECT_EQ(InstalledCryptoSoftware(sources_), expected);
    EXPECT_EQ(CryptoProVersion(folder_), "5.0.12000-6");
    EXPECT_EQ(CryptoProClass(folder_), "КС2");

    // A database folder that is not there reads as an empty database.
    sources_.dpkgRoot = folder_ / "absent";
    EXPECT_EQ(InstalledCryptoSoftware(sources_),
              (Lines{"ПО КриптоПро:", "СКЗИ «КриптоПро CSP» версии ", "",
                     "ПО Кода Безопасности:", "", "Прочее:", OwnProviderLine()}));
    EXPECT_EQ(CryptoProVersion(sources_.dpkgRoot), "");
    EXPECT_EQ(CryptoProClass(sources_.dpkgRoot), "");
}

TEST(InventoryClass, TheCharacterAfterTheFirstLatinKC) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"KC1", "КС1"},
        {"Crypto-Pro KC2 CSP", "КС2"},
        {"LSB-CPROCSP-KC1-64", "КС1"},
        {"KC3KC1", "КС3"},
        {"ends with KC", "КС"},
        {"KCΩ", "КСΩ"},  // one character, not one byte
        {"kc1", "kc1"},  // lower-case letters are no class mark
        {"КС1", "КС1"},  // already Cyrillic: returned as read
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CryptoProClassOf(c.name), c.text) << c.name;
    }
}

}  // namespace
}  // namespace velmora
