// Signing, co-signing and verification of files: the lines and boxes of each
// outcome, the files left behind, and the full form's signer lines.
#include "crypto/signing/sign_file.h"
#include "crypto/signing/verify_signature.h"
#include "encoding/error.h"
#include "support/scripted_dialogs.h"
#include "support/signing_keys.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::ScopedSigningFolders;
using testing::ScriptedDialogs;
using testing::SigningData;

class SigningTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data_ = folders_.Root() / "данные.txt";
        fs::copy_file(SigningData() / "data.txt", data_);
        signature_ = data_;
        signature_ += ".sig";
    }

    // The verification lines of the signature, short form.
    std::vector<std::string> Verify(bool detached, const fs::path& data) {
        std::vector<std::string> lines;
        VerifySignatureFile(data, signature_, detached, lines, false);
        return lines;
    }

    ScopedSigningFolders folders_;
    ScriptedDialogs dialogs_;
    fs::path data_;
    fs::path signature_;
};

TEST_F(SigningTest, SignsCoSignsAndVerifiesInBothModes) {
    const auto first = folders_.Signer("signer-2001");
    const auto second = folders_.Signer("signer-256");
    for (const bool detached : {false, true}) {
        SCOPED_TRACE(detached ? "detached" : "attached");
        ASSERT_TRUE(WriteFileAtomic(signature_, AsBytes("an older file")));
        std::vector<std::string> lines;
        ASSERT_TRUE(SignFile(data_, signature_, first, detached, lines, dialogs_));
        EXPECT_EQ(lines,
                  (std::vector<std::string>{"введён пароль от контейнера",
                                            "Файл подписан. Сохранён в " + signature_.string()}));
        EXPECT_TRUE(dialogs_.messages.empty());
        EXPECT_EQ(Verify(detached, data_),
                  (std::vector<std::string>{"Проверка подписи - " + signature_.string(),
                                            "Подписей - 1", "Подпись [1] верна:"}));

        lines.clear();
        ASSERT_TRUE(CoSignFile(data_, signature_, second, detached, lines));
        EXPECT_EQ(lines, (std::vector<std::string>{"подпись добавлена - " + signature_.string()}));
        EXPECT_EQ(
            Verify(detached, data_),
            (std::vector<std::string>{"Проверка подписи - " + signature_.string(), "Подписей - 2",
                                      "Подпись [1] верна:", "Подпись [2] верна:"}));
    }
    // The detached signature against other data.
    const auto lines = Verify(true, SigningData() / "other.txt");
    EXPECT_EQ(lines.back(), "Ошибка - Неправильная подпись.");
}

TEST_F(SigningTest, FailuresWriteNothingAndKeepTheOldFile) {
    std::vector<std::string> lines;
    // No certificate: the box, nothing written.
    EXPECT_FALSE(SignFile(data_, signature_, nullptr, false, lines, dialogs_));
    ASSERT_EQ(dialogs_.ErrorTexts().size(), 1u);
    EXPECT_EQ(dialogs_.ErrorTexts()[0].rfind("Сертификат %s не найден - ", 0), 0u);
    EXPECT_FALSE(fs::exists(signature_));
    EXPECT_FALSE(CoSignFile(data_, signature_, nullptr, false, lines));

    // A certificate whose key is in no container.
    const auto keyless = testing::CertificateOfFile(SigningData() / "signer-256.cer");
    EXPECT_FALSE(SignFile(data_, signature_, keyless, false, lines, dialogs_));
    ASSERT_EQ(dialogs_.ErrorTexts().size(), 2u);
    EXPECT_EQ(dialogs_.ErrorTexts()[1],
              "Ошибка № - Не удается найти свойство закрытого ключа сертификата.");
    EXPECT_FALSE(fs::exists(signature_));
    EXPECT_TRUE(lines.empty());

    // A password that is not given: the box, and no line saying it was.
    {
        testing::ScriptedPasswordPrompt prompt;
        platform::ScopedPasswordPrompt installed(&prompt);
        prompt.answers = {"пароль", std::nullopt};
        const auto locked = folders_.Signer("signer-2001");
        EXPECT_FALSE(SignFile(data_, signature_, locked, false, lines, dialogs_));
        EXPECT_EQ(dialogs_.ErrorTexts().back(), "Ошибка № - Операция была отменена пользователем.");
        EXPECT_EQ(prompt.requests.size(), 2u);
        EXPECT_FALSE(fs::exists(signature_));
        EXPECT_TRUE(lines.empty());
    }

    // Co-signing a file that is no message leaves it as it was, with the
    // decoder's line; so does a keyless certificate, silently.
    const ByteView text = AsBytes("это не подпись");
    const Bytes garbage(text.begin(), text.end());
    ASSERT_TRUE(WriteFileAtomic(signature_, garbage));
    EXPECT_FALSE(CoSignFile(data_, signature_, keyless, false, lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(CoSignFile(data_, signature_, folders_.Signer("signer-256"), false, lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"Обнаружено неправильное значение тега ASN1."}));
    EXPECT_EQ(ReadFileBytes(signature_), garbage);

    // A file that is not a message: the name line and the decoder's line only.
    EXPECT_EQ(Verify(false, {}),
              (std::vector<std::string>{"Проверка подписи - " + signature_.string(),
                                        "Обнаружено неправильное значение тега ASN1."}));
    // An unreadable data file raises the file error.
    EXPECT_THROW(SignFile(folders_.Root() / "нет такого", signature_, folders_.Signer("signer-256"),
                          false, lines, dialogs_),
                 Error);
}

TEST_F(SigningTest, FullFormListsSignersAndStopsAtTheFirstBadOne) {
    folders_.InstallTestChain();
    signature_ = SigningData() / "ossl-three.sig";
    const fs::path content = folders_.Root() / "извлечено.txt";
    ASSERT_TRUE(WriteFileAtomic(content, AsBytes("прежнее содержимое")));
    std::vector<std::string> lines;
    ASSERT_TRUE(VerifySignatureFile(content, signature_, false, lines, true));
    EXPECT_EQ(ReadFileBytes(content), ReadFileBytes(data_));
    const std::vector<std::string> first(lines.begin(), lines.begin() + 3);
    EXPECT_EQ(first, (std::vector<std::string>{"Проверка подписи - " + signature_.string(),
                                               "Подписей - 3", "Подпись [1] верна:"}));
    int signers = 0;
    int good_chains = 0;
    for (const std::string& line : lines) {
        signers += line.starts_with("время подписания - 01.03.2025 15:00:00") ? 1 : 0;
        good_chains += line == "No error found for this certificate or chain" ? 1 : 0;
    }
    // Every signer, the revoked one too, signed before any revocation.
    EXPECT_EQ(signers, 3);
    EXPECT_EQ(good_chains, 3);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "  Обобщённое имя (COMMON NAME)(2.5.4.3) = Подписант ГОСТ 2001"),
              lines.end());

    lines.clear();
    signature_ = SigningData() / "three-bad-second.sig";
    EXPECT_FALSE(VerifySignatureFile({}, signature_, false, lines, false));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Проверка подписи - " + signature_.string(), "Подписей - 3",
                                        "Подпись [1] верна:", "Ошибка  - Неправильная подпись."}));

    // Without signed attributes there is no time: no chain check either.
    lines.clear();
    signature_ = SigningData() / "ossl-detached-noattr.sig";
    ASSERT_TRUE(VerifySignatureFile(data_, signature_, true, lines, true));
    EXPECT_EQ(lines.back(), "время подписания - не указано");
    EXPECT_EQ(lines[lines.size() - 2], "Серийный номер - 5001");

    // A message without signers gives out no content.
    lines.clear();
    signature_ = testing::TestData() / "chain.p7b";
    EXPECT_FALSE(VerifySignatureFile(content, signature_, false, lines, true));
    EXPECT_EQ(lines.back(),
              "Ошибка  - Подписанное криптографическое сообщение не имеет подписавшего для "
              "указанного индекса подписавшего.");
}

}  // namespace
}  // namespace velmora
