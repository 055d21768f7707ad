// The batch signing window's model over an in-memory grid: adding files,
// every pass in both modes with the skip rules, the lines a failed row leaves
// for the next one, and the three certificate sources.
#include "app/signing/batch_signing.h"
#include "app/grid/memory_grid.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/stores/cert_selector.h"
#include "report/view/recording_view.h"
#include "support/scripted_dialogs.h"
#include "support/signing_keys.h"
#include "support/store_folders.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace sign_column;
using testing::ScopedSigningFolders;
using testing::ScriptedDialogs;
using testing::SigningData;

std::vector<std::string> ViewLines(const RecordingView& view) {
    std::vector<std::string> lines;
    std::istringstream text(view.PlainText());
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

class BatchSigningTest : public ::testing::Test {
  protected:
    void SetUp() override {
        model_.ResetGrid();
        for (const char* name : {"a.txt", "b.txt"}) {
            fs::copy_file(SigningData() / "data.txt", File(name));
        }
    }

    fs::path File(const std::string& name) const { return folders_.Root() / name; }
    std::vector<std::string> Row(int row) const {
        std::vector<std::string> cells;
        for (int column = 0; column < grid_.ColumnCount(); ++column) {
            cells.push_back(grid_.Cell(row, column));
        }
        return cells;
    }
    void Add(std::vector<fs::path> files) {
        dialogs_.openManyAnswers.push_back(std::move(files));
        model_.AddFiles();
    }

    ScopedSigningFolders folders_;
    ScriptedDialogs dialogs_;
    RecordingView view_;
    MemoryGrid grid_{5};
    std::unique_ptr<TRCstruct> record_;
    BatchSigning model_{grid_, SigningTarget{view_, dialogs_, record_}};
};

TEST_F(BatchSigningTest, AddsPairsNumberedPerBatch) {
    EXPECT_FALSE(grid_.Enabled());
    EXPECT_EQ(Row(0), SignGridHeaders());
    Add({File("a.txt"), File("a.txt.sig"), File("c.sig")});
    Add({File("b.txt")});
    EXPECT_EQ(dialogs_.openFilterIndexes, (std::vector<int>{4, 4}));
    ASSERT_EQ(grid_.RowCount(), 4);
    const std::string a = File("a.txt").string();
    const std::string c = File("c").string();
    const std::string b = File("b.txt").string();
    EXPECT_EQ(Row(1), (std::vector<std::string>{"1", a, a + ".sig", "Да", ""}));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"2", c, c + ".sig", "Нет", ""}));
    EXPECT_EQ(Row(3), (std::vector<std::string>{"1", b, b + ".sig", "", ""}));
}

TEST_F(BatchSigningTest, PassesFollowTheSignatureState) {
    model_.SetCertificate(folders_.Signer("signer-256"));
    Add({File("a.txt"), File("b.txt")});
    model_.SignAll(false);
    EXPECT_EQ(Row(1)[kDetached], "Нет");
    EXPECT_EQ(Row(1)[kSigned], "Да");
    const std::string a = File("a.txt").string();
    EXPECT_EQ(ViewLines(view_).front(), "введён пароль от контейнера");
    EXPECT_EQ(ViewLines(view_)[1], "Файл подписан. Сохранён в " + a + ".sig");

    // Signed rows are skipped by the next signing; co-signing takes them.
    model_.SignAll(true);
    EXPECT_EQ(ViewLines(view_),
              (std::vector<std::string>{
                  "Пропущено: " + a + "/" + a + ".sig",
                  "Пропущено: " + File("b.txt").string() + "/" + File("b.txt").string() + ".sig"}));
    EXPECT_EQ(Row(1)[kSigned], "пропущен");
    model_.SetCertificate(folders_.Signer("signer-2001"));
    model_.CoSignAll();
    EXPECT_EQ(Row(1)[kSigned], "Да");
    EXPECT_EQ(Row(1)[kDetached], "Нет");
    model_.VerifyAll();
    const auto lines = ViewLines(view_);
    EXPECT_EQ(lines[0], "Проверка: " + a + "/" + a + ".sig");
    EXPECT_EQ(lines[2], "Подписей - 2");
    EXPECT_EQ(lines[4], "Подпись [2] верна:");

    // Detached rows: added with their signature file they are co-signed as
    // detached and keep "Да".
    model_.ResetGrid();
    fs::remove(File("a.txt.sig"));
    Add({File("a.txt")});
    model_.SignAll(true);
    EXPECT_EQ(Row(1)[kDetached], "Да");
    model_.CoSignAll();
    EXPECT_EQ(Row(1)[kDetached], "Да");
    EXPECT_EQ(Row(1)[kSigned], "Да");
    model_.VerifyAll();
    EXPECT_EQ(ViewLines(view_)[2], "Подписей - 2");

    // The data file gone: the row's lines, then the file's error.
    fs::remove(File("a.txt"));
    model_.VerifyAll();
    const auto gone = ViewLines(view_);
    ASSERT_EQ(gone.size(), 4u);
    EXPECT_EQ(gone[2], "Подписей - 2");
    EXPECT_TRUE(gone[3].starts_with("Не удалось прочитать файл " + File("a.txt").string()));
}

TEST_F(BatchSigningTest, FailedRowsKeepTheirLinesForTheNextRow) {
    // Without a certificate every row shows the box and gets "нет".
    Add({File("a.txt"), File("b.txt")});
    model_.SignAll(false);
    EXPECT_EQ(dialogs_.ErrorTexts().size(), 2u);
    EXPECT_EQ(Row(1)[kSigned], "нет");
    EXPECT_EQ(Row(2)[kSigned], "нет");
    EXPECT_TRUE(grid_.Cell(1, kDetached).empty());

    // A signature file that is no message fails its row; its line comes out
    // with the next row's success.
    model_.ResetGrid();
    ASSERT_TRUE(WriteFileAtomic(File("a.txt.sig"), AsBytes("мусор")));
    Add({File("a.txt.sig")});
    model_.SetCertificate(folders_.Signer("signer-256"));
    Add({File("b.txt")});
    model_.SignAll(false);
    model_.CoSignAll();
    EXPECT_EQ(Row(1)[kSigned], "нет");
    EXPECT_EQ(Row(2)[kSigned], "Да");
    EXPECT_EQ(ViewLines(view_),
              (std::vector<std::string>{"Обнаружено неправильное значение тега ASN1.",
                                        "подпись добавлена - " + File("b.txt").string() + ".sig"}));
}

TEST_F(BatchSigningTest, LoadsTheCertificateFromEachSource) {
    EXPECT_FALSE(model_.LoadCertificate(CertificateSource::None));
    const auto signer = folders_.Signer("signer-256");

    // A file, then bound to the container chosen.
    dialogs_.openAnswers.push_back(SigningData() / "signer-256.pem");
    dialogs_.containerAnswers.push_back(ContainerChoice{signer->KeyProv()->providerType,
                                                        signer->KeyProv()->providerName,
                                                        signer->KeyProv()->containerName});
    ASSERT_TRUE(model_.LoadCertificate(CertificateSource::File));
    EXPECT_EQ(dialogs_.openFilterIndexes.back(), 2);
    ASSERT_TRUE(model_.Certificate()->KeyProv());
    EXPECT_EQ(model_.Certificate()->KeyProv()->containerName, signer->KeyProv()->containerName);

    // The container's own certificate.
    dialogs_.containerAnswers.push_back(ContainerChoice{signer->KeyProv()->providerType,
                                                        signer->KeyProv()->providerName,
                                                        signer->KeyProv()->containerName});
    ASSERT_TRUE(model_.LoadCertificate(CertificateSource::Container));
    EXPECT_EQ(model_.Certificate()->Encoded(), signer->Encoded());
    dialogs_.containerAnswers.push_back(std::nullopt);
    EXPECT_FALSE(model_.LoadCertificate(CertificateSource::Container));

    // The personal store, through the selection dialog.
    auto store = platform::OpenSystemStore(platform::StoreLocation::CurrentUser, "MY");
    ASSERT_TRUE(platform::AddCertificateToStore(*store, signer));
    testing::ScriptedSelector selector;
    selector.answers.push_back(platform::HashCertificateSha1(signer->Encoded()));
    platform::ScopedCertificateSelector installed(&selector);
    ASSERT_TRUE(model_.LoadCertificate(CertificateSource::PersonalStore));
    model_.ShowCertificate();
    ASSERT_TRUE(record_);
    EXPECT_EQ(ViewLines(view_).front(), "Имя контейнера - " + signer->KeyProv()->containerName);
    model_.Close();
    EXPECT_FALSE(model_.Certificate());
}

}  // namespace
}  // namespace velmora
