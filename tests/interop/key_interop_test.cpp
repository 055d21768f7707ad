// Key files checked with the openssl command and the GOST engine: a
// password-protected container key opens there with the same password, and
// keys openssl made (plain or encrypted) come into containers unchanged.
#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/keys/container_store.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "encoding/atomic_file.h"
#include "support/key_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ScopedKeyFolder;
using velmora::testing::ScriptedPasswordPrompt;

fs::path Fixture(const std::string& name) {
    return fs::path(std::getenv("VELMORA_TEST_DATA")) / name;
}

// Runs an openssl pipeline with the password in the environment (never on a
// command line) and gives the bytes it wrote to `output`.
Bytes Openssl(const std::string& command, const fs::path& output) {
    const std::string line = "(" + command + ") > '" + output.string() + "' 2>/dev/null";
    EXPECT_EQ(std::system(line.c_str()), 0) << command;
    return ReadFileBytes(output).value_or(Bytes{});
}

TEST(KeyInterop, AProtectedContainerKeyOpensWithOpensslPkcs8) {
    ScopedKeyFolder folder;
    ScriptedPasswordPrompt prompt;
    ScopedPasswordPrompt installed(&prompt);
    const std::string password = "Пароль к ключу №1";
    prompt.answers = {password};
    CryptProvider context;
    ASSERT_TRUE(
        AcquireContext(context, "для openssl", kCryptoPro2012Name, kProvGost2012, kCryptNewKeyset));
    ASSERT_TRUE(GenKey(context, kAtKeyExchange, 0));
    const auto own = ExportPublicKeyInfo(context, kAtKeyExchange);
    const fs::path key_file = FindStoredContainer("для openssl")->folder / "exchange.key";

    ::setenv("VELMORA_TEST_PASSWORD", password.c_str(), 1);
    const Bytes public_der = Openssl(
        "openssl pkcs8 -engine gost -in '" + key_file.string() +
            "' -passin env:VELMORA_TEST_PASSWORD | openssl pkey -engine gost -pubout -outform DER",
        folder.Root() / "pub.der");
    EXPECT_EQ(public_der, own->encoded);
    ::setenv("VELMORA_TEST_PASSWORD", "не тот", 1);
    const std::string wrong = "openssl pkcs8 -engine gost -in '" + key_file.string() +
                              "' -passin env:VELMORA_TEST_PASSWORD > /dev/null 2>&1";
    EXPECT_NE(std::system(wrong.c_str()), 0);
    ::unsetenv("VELMORA_TEST_PASSWORD");
}

TEST(KeyInterop, KeysMadeByOpensslComeIntoContainersUnchanged) {
    ScopedKeyFolder folder;
    ScriptedPasswordPrompt prompt;
    ScopedPasswordPrompt installed(&prompt);
    const CertContext certificate =
        CreateCertificateContext(*ReadFileBytes(Fixture("ee-2001.cer")));
    ASSERT_TRUE(certificate);

    // openssl's own encryption of the same key (PBES2, AES, HMAC-SHA256).
    ::setenv("VELMORA_TEST_PASSWORD", "openssl-пароль", 1);
    const fs::path encrypted = folder.Root() / "encrypted.pem";
    Openssl("openssl pkcs8 -engine gost -topk8 -in '" + Fixture("keys/ee-2001.key").string() +
                "' -passout env:VELMORA_TEST_PASSWORD",
            encrypted);
    ::unsetenv("VELMORA_TEST_PASSWORD");
    const Bytes der_key = Openssl("openssl pkcs8 -engine gost -topk8 -nocrypt -outform DER -in '" +
                                      Fixture("keys/ee-2001.key").string() + "'",
                                  folder.Root() / "key.der");

    // A container's own key file, explanatory lines and all.
    prompt.answers = {""};
    ASSERT_TRUE(ImportContainerKey("исходный", kCryptoPro2001Name, kProvGost2001,
                                   *ReadFileBytes(Fixture("keys/ee-2001.key")), nullptr, true));
    const Bytes own_file = *ReadFileBytes(FindStoredContainer("исходный")->folder / "exchange.key");

    struct Case {
        const char* name;
        Bytes key;
        std::vector<std::optional<std::string>> answers;
    };
    const Case cases[] = {
        {"PEM", *ReadFileBytes(Fixture("keys/ee-2001.key")), {""}},
        {"DER", der_key, {""}},
        {"Velmora", own_file, {""}},
        {"encrypted", *ReadFileBytes(encrypted), {"не тот", "openssl-пароль", "новый"}},
    };
    for (const Case& c : cases) {
        prompt.answers.assign(c.answers.begin(), c.answers.end());
        prompt.requests.clear();
        ASSERT_TRUE(
            ImportContainerKey(c.name, kCryptoPro2001Name, kProvGost2001, c.key, certificate, true))
            << c.name << ": " << LastErrorText();
        CryptProvider context;
        ASSERT_TRUE(AcquireContext(context, c.name, kCryptoPro2001Name, kProvGost2001, 0));
        const auto own = ExportPublicKeyInfo(context, kAtKeyExchange);
        ASSERT_TRUE(own);
        EXPECT_EQ(own->publicKey, certificate->Info().publicKey.publicKey) << c.name;
        EXPECT_EQ(GetKeyParam(*GetUserKey(context, kAtKeyExchange), kKpCertificate),
                  certificate->Encoded());
        EXPECT_TRUE(prompt.answers.empty()) << c.name;
    }
    ASSERT_EQ(prompt.requests.size(), 3u);
    EXPECT_EQ(prompt.requests[0].kind, PasswordRequest::Kind::KeyFile);
    EXPECT_EQ(prompt.requests[1].attempt, 2);
    EXPECT_EQ(prompt.requests[2].kind, PasswordRequest::Kind::NewPassword);
}

}  // namespace
}  // namespace velmora::platform
