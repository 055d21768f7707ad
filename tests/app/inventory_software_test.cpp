#include "app/inventory/installed_software.h"

#include "crypto/platform/system/gost_engine.h"
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

    // The lines "Прочее" always holds: the program's own provider, OpenSSL
    // and the GOST engine as this machine has them.
    static Lines AlwaysOther(const std::optional<std::string>& engine_version) {
        return {OwnProviderLine(),
                "OpenSSL (версия " + platform::OpenSslVersionText() + ") The OpenSSL Project",
                GostEngineLine(engine_version, platform::StartGostEngine(),
                               platform::GostEngineFailureText())};
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

    // Products under the names their vendors give them, with the vendor as
    // publisher; never the package name or the distribution's maintainer.
    Lines expected = {
        "ПО КриптоПро:",
        "СКЗИ «КриптоПро CSP» версии 5.0.12000-6",
        "КриптоПро CSP (версия 5.0.12000-6) ООО \"КРИПТО-ПРО\"",
        "КриптоПро CSP: криптоядро класса КС2 (версия 5.0.12000-6) ООО \"КРИПТО-ПРО\"",
        "КриптоПро ЭЦП SDK (CAdES) (версия ) ООО \"КРИПТО-ПРО\"",
        "",
        "ПО Кода Безопасности:",
        "Абонентский пункт \"Континент-АП\" (версия 4.1.7-3) АО \"Код Безопасности\"",
        "СКЗИ \"Континент-АП\" версии 4.1.7.3",
        "",
        "Прочее:",
    };
    for (const std::string& line : AlwaysOther("3.0.1-2+b1")) {
        expected.push_back(line);
    }
    EXPECT_EQ(CryptoProVersion(folder_), "5.0.12000-6");
    EXPECT_EQ(CryptoProClass(folder_), "КС2");

    // A database folder that is not there reads as an empty database.
    sources_.dpkgRoot = folder_ / "absent";
    Lines empty = {"ПО КриптоПро:", "СКЗИ «КриптоПро CSP» версии ", "", "ПО Кода Безопасности:", "",
                   "Прочее:"};
    for (const std::string& line : AlwaysOther(std::nullopt)) {
        empty.push_back(line);
    }
    EXPECT_EQ(InstalledCryptoSoftware(sources_), empty);
    EXPECT_EQ(CryptoProVersion(sources_.dpkgRoot), "");
    EXPECT_EQ(CryptoProClass(sources_.dpkgRoot), "");
}

TEST(InventoryOther, OwnProviderAndGostEngineSayWhatTheyAre) {
    EXPECT_EQ(OwnProviderLine(), std::string("Криптопровайдер программы Velmora (версия ") +
                                     VELMORA_VERSION +
                                     "): программная реализация ГОСТ Р 34.10-2001 и ГОСТ Р "
                                     "34.10-2012 на OpenSSL, не сертифицированное СКЗИ");
    const std::string engine = "Модуль ГОСТ для OpenSSL (gost engine)";
    EXPECT_EQ(GostEngineLine("3.0.1-2", true, ""),
              engine + " (версия 3.0.1-2): установлен, загружается");
    EXPECT_EQ(GostEngineLine("3.0.1-2", false, "Не найден модуль."),
              engine + " (версия 3.0.1-2): установлен, но не загружается (Не найден модуль.)");
    EXPECT_EQ(GostEngineLine(std::nullopt, true, ""), engine + ": загружается");
    EXPECT_EQ(GostEngineLine(std::nullopt, false, "Не найден модуль."), engine + ": не установлен");
    // The machine the tests run on has the engine, and it loads.
    EXPECT_TRUE(platform::StartGostEngine());
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
