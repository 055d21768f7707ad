// velmora-cli sign, cosign, verify and chain end to end: their result lines
// and the exit statuses scripts rely on.
#include "crypto/platform/certs/cert_hash.h"
#include "encoding/atomic_file.h"
#include "report/text/value_text.h"
#include "support/cli_run.h"
#include "support/signing_keys.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using testing::ScopedSigningFolders;
using testing::SigningData;
using testing::TestData;

class SigningCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"a.txt", "b.txt"}) {
            fs::copy_file(SigningData() / "data.txt", File(name));
        }
        folders_.Signer("signer-256");
        folders_.Signer("signer-2001");
    }
    std::string File(const std::string& name) const { return (folders_.Root() / name).string(); }

    ScopedSigningFolders folders_;
};

TEST_F(SigningCliTest, SignsCoSignsAndVerifiesWithStatuses) {
    CliResult run =
        Cli({"sign", "--detached", "--container", "test-signer-256", File("a.txt"), File("b.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, File("a.txt") + ": Файл подписан. Сохранён в " + File("a.txt") + ".sig\n" +
                           File("b.txt") + ": Файл подписан. Сохранён в " + File("b.txt") +
                           ".sig\n");
    run = Cli({"cosign", "--detached", "--container", "test-signer-2001", "--provider", "75",
               File("a.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, File("a.txt") + ": подпись добавлена - " + File("a.txt") + ".sig\n");

    run = Cli({"verify", "--detached", File("a.txt") + ".sig"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Подписей - 2\nПодпись [1] верна:\n"), std::string::npos) << run.out;

    // Other data: the signer fails (4). No signature at all: unreadable (3).
    run = Cli(
        {"verify", "--detached", File("a.txt") + ".sig", (SigningData() / "other.txt").string()});
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.out.find("Ошибка - Неправильная подпись."), std::string::npos);
    EXPECT_EQ(Cli({"verify", File("a.txt")}).status, 3);
    EXPECT_EQ(Cli({"verify", File("нет такого.sig")}).status, 3);
    // A certificate bundle is a message without signers: no signature.
    run = Cli({"verify", (TestData() / "chain.p7b").string()});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.out.find("Подписей - 0"), std::string::npos);
    // A file that cannot be read among the files to sign.
    run = Cli({"sign", "--container", "test-signer-256", File("нет такого")});
    EXPECT_EQ(run.status, 3);

    // The certificate by thumbprint from the personal store.
    auto store = platform::OpenSystemStore(platform::StoreLocation::CurrentUser, "MY");
    const auto signer = folders_.Signer("signer-256");
    ASSERT_TRUE(platform::AddCertificateToStore(*store, signer));
    const std::string thumbprint = HexPairsText(platform::HashCertificateSha1(signer->Encoded()));
    run = Cli({"sign", "--cert", thumbprint, File("b.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"verify", File("b.txt") + ".sig", File("извлечено.txt")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(File("извлечено.txt")), ReadFileBytes(File("b.txt")));
    EXPECT_EQ(Cli({"sign", "--cert", std::string(40, '0'), File("b.txt")}).status, 1);
    EXPECT_EQ(Cli({"sign", File("b.txt")}).status, 2);
}

TEST_F(SigningCliTest, ChainStatuses) {
    folders_.InstallTestChain();
    const std::string revoked = (SigningData() / "signer-revoked.cer").string();
    CliResult run = Cli({"chain", revoked, "--at", "01.03.2025 12:00:00"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(run.out.starts_with("No error found for this certificate or chain\n"));
    run = Cli({"chain", revoked, "--at", "15.07.2025 12:00:00"});
    EXPECT_EQ(run.status, 5);
    EXPECT_TRUE(run.out.starts_with("Сертификат отозван\n"));
    EXPECT_EQ(Cli({"chain", revoked, "--at", "31.02.2025 12:00:00"}).status, 2);
    EXPECT_EQ(Cli({"chain", (SigningData() / "data.txt").string()}).status, 3);
    const CliResult help = Cli({"chain", "--help"});
    EXPECT_NE(help.out.find("5 - цепочка не доверена"), std::string::npos);
}

// Verification reports the signers' chains at their signing times in its
// status: an untrusted chain is no plain success for a script.
TEST_F(SigningCliTest, VerifyStatusFollowsTheSignersChains) {
    const std::string three = (SigningData() / "ossl-three.sig").string();
    const std::string content = File("содержимое.txt");
    CliResult run = Cli({"verify", three, content});
    EXPECT_EQ(run.status, 5) << run.out;
    EXPECT_NE(run.out.find("Подпись [3] верна:"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("цепочка сертификата подписанта не доверена"), std::string::npos);
    // With the test chain's root trusted, every signer (the revoked one signed
    // before its revocation) is fine.
    folders_.InstallTestChain();
    run = Cli({"verify", three, content});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(ReadFileBytes(content), ReadFileBytes(SigningData() / "data.txt"));
}

}  // namespace
}  // namespace velmora::cli
