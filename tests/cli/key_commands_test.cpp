// The key container commands of velmora-cli end to end, on a temporary key
// folder, with passwords from the sources a script would use.
#include "crypto/platform/certs/cert_context.h"
#include "encoding/atomic_file.h"
#include "report/text/value_text.h"
#include "support/cli_run.h"
#include "support/key_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
    return (fs::path(std::getenv("VELMORA_TEST_DATA")) / name).string();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class KeyCommandsTest : public ::testing::Test {
  protected:
    velmora::testing::ScopedKeyFolder folder_;
};

TEST_F(KeyCommandsTest, ContainersFromCreationToDeletion) {
    CliResult run = Cli({"keygen", "новый ключ", "--exportable"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Создан контейнер \\\\.\\HDIMAGE\\новый ключ");
    EXPECT_EQ(lines[1], "Распечатка значения открытого ключа:");
    EXPECT_TRUE(lines[5].starts_with("Срок действия закрытого ключа(1.2.643.2.2.37.3.10) - "));

    // A key and certificate made by openssl: the container shows the
    // certificate's own public key.
    run = Cli({"container-import", "из openssl", Fixture("keys/ee-256.key"), Fixture("ee-256.pem"),
               "--exportable"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Ключ и сертификат помещены в контейнер \\\\.\\HDIMAGE\\из openssl\n");
    const auto certificate =
        platform::CreateCertificateContext(*ReadFileBytes(Fixture("ee-256.cer")));
    run = Cli({"container-info", "из openssl"});
    ASSERT_EQ(run.status, 0) << run.err;
    lines = Lines(run.out);
    ASSERT_GT(lines.size(), 8u);
    EXPECT_EQ(lines[0], "Информация о контейнере КЭП:");
    EXPECT_EQ(lines[1], "Уникальное имя:из openssl");
    EXPECT_EQ(lines[3], HexPairsText(certificate->Info().publicKey.publicKey));
    EXPECT_TRUE(lines[6].ends_with("\"16.12.2023 12:00:00\" - 15.03.2025 12:00:00")) << lines[6];
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "Информация о сертификате в контейнере:");
    run = Cli({"container-info", "новый ключ"});
    EXPECT_EQ(Lines(run.out).back(), "Cертификата в контейнере нет.");

    // A certificate of another key is refused, into a new container or an existing one.
    run = Cli({"container-import", "чужой", Fixture("keys/ee-256.key"), Fixture("ee-2001.cer")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Ошибка: Неправильный открытый ключ поставщика.\n");
    run = Cli({"container-bind", "новый ключ", Fixture("ee-256.cer")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Ошибка: Ошибка № - Неправильный открытый ключ поставщика.\n");

    run = Cli({"container-copy", "из openssl", "копия"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Ключ скопирован\n");
    run = Cli({"container-bind", "копия", Fixture("ee-256-b64.cer")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Сертификат успешно установлен в контейнер\n");

    run = Cli({"containers"});
    ASSERT_EQ(run.status, 0) << run.err;
    lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].ends_with("\t\\\\.\\HDIMAGE\\из openssl\tЖёсткий диск\tсертификат есть"))
        << lines[0];
    EXPECT_TRUE(lines[1].starts_with("копия.")) << lines[1];
    EXPECT_TRUE(lines[2].ends_with("\\новый ключ\tЖёсткий диск\tнет")) << lines[2];

    // The copy of a key imported without --exportable cannot be made.
    run = Cli({"container-copy", "копия", "копия копии", "--with-cert"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Ошибка  - Ключ не может быть использован в указанном состоянии.\n");

    run = Cli({"container-delete", "копия копии"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "контейнер удалён\n");
    run = Cli({"container-delete", "копия копии"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Ошибка: Набор ключей не существует.\n");
    run = Cli({"container-info", "копия копии"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
}

TEST_F(KeyCommandsTest, PasswordsComeFromSourcesAndNeverFromTheCommandLine) {
    std::string transcript;  // everything the commands wrote
    const auto cli = [&transcript](std::vector<std::string> args, const std::string& input = {}) {
        CliResult result = Cli(std::move(args), input);
        transcript += result.out + result.err;
        return result;
    };
    CliResult run = cli({"keygen", "ключ", "--pass", "pass:секрет"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("пароль в командной строке не принимается"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder_.Keys()));

    // The new container's password from the input, then used from a file and
    // from the environment.
    run = cli({"keygen", "ключ", "--exportable", "--pass", "stdin"}, "секрет 1\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const fs::path password_file = folder_.Root() / "password.txt";
    ASSERT_TRUE(WriteFileAtomic(password_file, AsBytes("секрет 1\r\nвторая строка\n")));
    ::setenv("VELMORA_TEST_NEW_PASSWORD", "секрет 2", 1);
    run = cli({"container-copy", "ключ", "копия", "--passin", "file:" + password_file.string(),
               "--pass", "env:VELMORA_TEST_NEW_PASSWORD"});
    EXPECT_EQ(run.status, 0) << run.err;
    // Both from the input: the first line opens, the second protects.
    run = cli({"container-copy", "ключ", "копия 2", "--passin", "stdin", "--pass", "stdin"},
              "секрет 1\nсекрет 3\n");
    EXPECT_EQ(run.status, 0) << run.err;

    run = cli({"container-copy", "ключ", "копия 3", "--passin", "env:VELMORA_TEST_NEW_PASSWORD"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Ошибка  - Указан неправильный пароль.\n");
    run = cli({"container-copy", "ключ", "копия 4"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("контейнер защищён паролем: укажите --passin"), std::string::npos);
    run = cli({"container-copy", "ключ", "копия 5", "--passin", "env:VELMORA_NO_SUCH_VARIABLE"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("переменная окружения VELMORA_NO_SUCH_VARIABLE не задана"),
              std::string::npos);
    run = cli({"container-copy", "ключ", "копия 6", "--passin", "secret"});
    EXPECT_EQ(run.status, 2);
    ::unsetenv("VELMORA_TEST_NEW_PASSWORD");

    // No password ever reaches a message.
    for (const char* secret : {"секрет", "secret"}) {
        EXPECT_EQ(transcript.find(secret), std::string::npos) << transcript;
    }
}

TEST_F(KeyCommandsTest, UsageErrors) {
    EXPECT_EQ(Cli({"keygen"}).status, 2);
    EXPECT_EQ(Cli({"keygen", "ключ", "--provider", "99"}).status, 2);
    EXPECT_EQ(Cli({"container-import", "ключ", Fixture("keys/ee-256.key")}).status, 2);
    const CliResult run =
        Cli({"container-import", "ключ", Fixture("keys/ee-256.key"), Fixture("crl-full.crl")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Ошибка: файл не содержит сертификата - " + Fixture("crl-full.crl") + "\n");
}

}  // namespace
}  // namespace velmora::cli
