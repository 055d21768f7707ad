// velmora-cli store, end to end, with a certificate the openssl command makes.
#include "cli/cli_run.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "encoding/atomic_file.h"
#include "support/key_folder.h"
#include "support/store_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using velmora::testing::DataFile;

std::string Shell(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
            text.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return text;
}

class StoreCli : public velmora::testing::StoreFolderTest {};

TEST_F(StoreCli, AddListExportDeleteWithAnOpensslCertificate) {
    // A self-signed GOST certificate made by openssl, not by us.
    const fs::path key = folder_ / "k.pem";
    const fs::path pem = folder_ / "made.pem";
    ASSERT_EQ(std::system(("openssl genpkey -engine gost -algorithm gost2012_256 -pkeyopt "
                           "paramset:A -out '" +
                           key.string() + "' 2>/dev/null && openssl req -engine gost -new -x509 " +
                           "-key '" + key.string() + "' -subj '/CN=Проверка openssl/O=Тест' " +
                           "-utf8 -days 30 -out '" + pem.string() + "' 2>/dev/null")
                              .c_str()),
              0);
    std::string thumbprint =
        Shell("openssl x509 -in '" + pem.string() + "' -noout -fingerprint -sha1");
    thumbprint =
        std::regex_replace(thumbprint.substr(thumbprint.find('=') + 1), std::regex("[:\n]"), "");
    ASSERT_EQ(thumbprint.size(), 40u);

    CliRun run = Cli({"store", "add", "MY", pem.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Сертификат добавлен\n");
    ASSERT_EQ(Cli({"store", "add", "MY", DataFile("ee-2001.cer").string()}).status, 0);
    // Adding again replaces, and is a success.
    ASSERT_EQ(Cli({"store", "add", "my", pem.string()}).status, 0);

    run = Cli({"store", "list", "MY"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::regex line(
        "([0-9A-F]{40})\t([^\t\n]*)\t(\\d\\d\\.\\d\\d\\.\\d{4} "
        "\\d\\d:\\d\\d:\\d\\d)\t([^\t\n]*)\n");
    std::vector<std::string> subjects;
    for (std::sregex_iterator it(run.out.begin(), run.out.end(), line), end; it != end; ++it) {
        subjects.push_back((*it)[2]);
        if ((*it)[1] == thumbprint) {
            EXPECT_EQ((*it)[2], "Проверка openssl");
            EXPECT_EQ((*it)[4], "");
        }
    }
    EXPECT_EQ(subjects.size(), 2u) << run.out;
    EXPECT_NE(run.out.find(thumbprint + "\tПроверка openssl\t"), std::string::npos) << run.out;

    // Exported DER is what openssl itself writes for the certificate.
    const fs::path der = folder_ / "out.der";
    run = Cli({"store", "export", "MY", thumbprint, der.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Сертификат экспортирован в файл - " + der.string() + "\n");
    EXPECT_EQ(Shell("openssl x509 -in '" + pem.string() + "' -outform DER"),
              Shell("cat '" + der.string() + "'"));

    // Lower case and colons are fine; an unknown thumbprint fails.
    std::string spaced;
    for (std::size_t i = 0; i < thumbprint.size(); i += 2) {
        spaced += (i ? ":" : "") + thumbprint.substr(i, 2);
    }
    for (char& c : spaced) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    run = Cli({"store", "delete", "MY", spaced});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Сертификат успешно удалён\n");
    run = Cli({"store", "delete", "MY", thumbprint});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("не найден"), std::string::npos) << run.err;
    EXPECT_EQ(Cli({"store", "list", "MY"}).out.find(thumbprint), std::string::npos);
}

TEST_F(StoreCli, ContainerBindingOnlyForTheMatchingKey) {
    velmora::testing::ScriptedPasswordPrompt prompt;
    platform::ScopedPasswordPrompt prompting(&prompt);
    prompt.answers = {""};
    ASSERT_TRUE(platform::ImportContainerKey(
        "ключ 2001", platform::kCryptoPro2001Name, platform::kProvGost2001,
        *ReadFileBytes(DataFile("keys/ee-2001.key")), nullptr, false));

    CliRun run = Cli({"store", "add", "MY", DataFile("ee-256.cer").string(), "--container",
                      "ключ 2001", "--provider-type", "75"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Ошибка: Сертификат не соотвествует закрытому ключу\n");
    EXPECT_EQ(Cli({"store", "list", "MY"}).out, "");

    // The provider follows the certificate's key when not given.
    run = Cli({"store", "add", "MY", DataFile("ee-2001.pem").string(), "--container", "ключ 2001"});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"store", "list", "MY"});
    EXPECT_TRUE(run.out.ends_with("\tключ 2001\n")) << run.out;
}

TEST_F(StoreCli, LocationsUsageErrorsAndSkippedEntries) {
    // CA and ROOT: --machine and --user choose; the default follows root.
    ASSERT_EQ(Cli({"store", "add", "CA", "--user", DataFile("intermediate.cer").string()}).status,
              0);
    ASSERT_EQ(Cli({"store", "add", "ROOT", "--machine", DataFile("ca.pem").string()}).status, 0);
    EXPECT_TRUE(fs::exists(UserStore("CA")));
    EXPECT_TRUE(fs::exists(MachineStore("ROOT")));
    EXPECT_FALSE(fs::exists(MachineStore("CA")));
    const bool admin = ::geteuid() == 0;
    EXPECT_EQ(Cli({"store", "list", "ROOT"}).out.empty(), !admin);
    EXPECT_EQ(Cli({"store", "list", "CA"}).out.empty(), admin);

    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;
    } failures[] = {
        {{"store", "list", "ADDRESSBOOK"}, 2, "неизвестное хранилище ADDRESSBOOK"},
        {{"store", "list", "MY", "--machine"}, 2, "хранилище MY есть только у пользователя"},
        {{"store", "list", "CA", "--machine", "--user"}, 2, "исключают друг друга"},
        {{"store", "delete", "MY", "12AB"}, 2, "40 шестнадцатеричных цифр"},
        {{"store", "export", "MY"}, 2, "неверное число аргументов"},
        {{"store"}, 2, "не указана команда store"},
        {{"store", "add", "MY", DataFile("req-full.req").string()}, 1, "Файл не поддерживается"},
    };
    for (const auto& failure : failures) {
        const CliRun run = Cli(failure.args);
        EXPECT_EQ(run.status, failure.status) << failure.message;
        EXPECT_NE(run.err.find(failure.message), std::string::npos) << run.err;
    }

    // A file in the store that is no certificate is named on stderr; the
    // listing goes on.
    velmora::testing::WriteAll(UserStore("CA") / (std::string(40, 'E') + ".cer"), "junk");
    const CliRun run = Cli({"store", "list", "CA", "--user"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Тестовый подчинённый УЦ Velmora"), std::string::npos);
    EXPECT_NE(run.err.find("Пропущен файл хранилища " + std::string(40, 'E') + ".cer: "),
              std::string::npos)
        << run.err;

    const CliRun help = Cli({"store", "--help"});
    EXPECT_NE(help.out.find("Использование: velmora-cli store КОМАНДА ..."), std::string::npos)
        << help.out;
    EXPECT_NE(help.out.find("  export ХРАНИЛИЩЕ ОТПЕЧАТОК ФАЙЛ\n"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace velmora::cli
