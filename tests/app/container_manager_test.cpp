// The container manager's commands without its window: a memory grid,
// scripted dialogs and a scripted key-copy dialog over temporary key folders.
#include "app/containers/container_manager.h"

#include "app/grid/memory_grid.h"
#include "crypto/keys/container_operations.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "encoding/atomic_file.h"
#include "report/view/recording_view.h"
#include "support/key_folder.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using platform::kCryptoPro2001Name;

fs::path Fixture(const std::string& name) {
    return fs::path(std::getenv("VELMORA_TEST_DATA")) / name;
}

class ScriptedCopyDialog : public CopyKeyDialog {
  public:
    std::deque<std::optional<CopyKeyAnswer>> answers;
    std::vector<std::string> proposals;

    std::optional<CopyKeyAnswer> AskCopy(const std::string& proposed_name) override {
        proposals.push_back(proposed_name);
        if (answers.empty()) {
            ADD_FAILURE() << "the copy dialog was shown without a scripted answer";
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class ContainerManagerTest : public ::testing::Test {
  protected:
    ContainerManagerTest()
        : manager_(grid_, ContainerManagerHost{
                              view_, dialogs_, record_, copy_,
                              [this](const std::string& text) { statuses_.push_back(text); }}) {}

    // A 2001 container with a new key pair, or with the openssl-made key of
    // ee-2001.cer (and that certificate, when asked).
    void Container(const std::string& name, bool with_certificate, bool exportable = true,
                   bool fixture_key = false) {
        if (with_certificate || fixture_key) {
            ASSERT_TRUE(platform::ImportContainerKey(
                name, kCryptoPro2001Name, 75, ReadFileBytes(Fixture("keys/ee-2001.key")).value(),
                with_certificate ? platform::CreateCertificateContext(
                                       ReadFileBytes(Fixture("ee-2001.cer")).value())
                                 : nullptr,
                exportable));
            return;
        }
        platform::CryptProvider context;
        ASSERT_TRUE(platform::AcquireContext(context, name, kCryptoPro2001Name, 75,
                                             platform::kCryptNewKeyset));
        ASSERT_TRUE(platform::GenKey(context, platform::kAtKeyExchange,
                                     exportable ? platform::kCryptExportable : 0));
    }

    std::vector<std::string> ContainerNames() {
        std::vector<TContainerInfo> containers;
        EnumerateContainers(kCryptoPro2001Name, 75, containers, dialogs_);
        std::vector<std::string> names;
        for (const auto& container : containers) {
            names.push_back(container.containerName);
        }
        return names;
    }

    // Shows the window and lists the containers of the preselected provider.
    void ShowAndSearch() {
        manager_.FormShow();
        manager_.BSearchClick();
    }

    int RowOf(const std::string& container) const {
        for (int row = 1; row < grid_.RowCount(); ++row) {
            if (grid_.Cell(row, kContainerColumn) == container) {
                return row;
            }
        }
        return -1;
    }

    velmora::testing::ScopedKeyFolder folder_;
    velmora::testing::ScriptedDialogs dialogs_;
    RecordingView view_;
    std::unique_ptr<TRCstruct> record_;
    ScriptedCopyDialog copy_;
    std::vector<std::string> statuses_;
    MemoryGrid grid_{4};
    ContainerManager manager_;
};

TEST_F(ContainerManagerTest, ShowListsProvidersAndSearchFillsTheGrid) {
    manager_.FormShow();
    EXPECT_EQ(grid_.ColumnWidth(1), 253);
    ASSERT_GE(manager_.ProviderEntries().size(), 2u);
    EXPECT_EQ(manager_.ProviderEntries()[static_cast<std::size_t>(manager_.SelectedProvider())],
              "[75] Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider");
    EXPECT_TRUE(manager_.Buttons().search);
    EXPECT_FALSE(manager_.Buttons().containerCommands);

    // No containers: the grid stays empty and disabled, the commands off.
    manager_.BSearchClick();
    EXPECT_FALSE(grid_.Enabled());
    EXPECT_FALSE(manager_.Buttons().containerCommands);
    EXPECT_FALSE(manager_.Buttons().exportCertificate);
    EXPECT_EQ(statuses_, (std::vector<std::string>{"Поиск контейнеров...",
                                                   "Поиск контейнеров...Разбор списка...", ""}));

    Container("с сертификатом", true);
    Container("пустой", false);
    manager_.BSearchClick();
    ASSERT_TRUE(grid_.Enabled());
    EXPECT_EQ(grid_.Row(0),
              (std::vector<std::string>{"Носитель", "Имя", "Уникальное имя", "Серт. в конт."}));
    ASSERT_EQ(grid_.RowCount(), 3);
    const int with = RowOf("с сертификатом");
    const int without = RowOf("пустой");
    ASSERT_GT(with, 0);
    ASSERT_GT(without, 0);
    EXPECT_EQ(grid_.Cell(with, kCarrierColumn), "Жёсткий диск");
    EXPECT_EQ(grid_.Cell(with, kCertificateColumn), "Да");
    EXPECT_EQ(grid_.Cell(without, kCertificateColumn), "Нет");
    // "Имя" shows the last part of the unique name, the folder.
    EXPECT_TRUE(fs::is_directory(folder_.Keys() / grid_.Cell(with, kNameColumn)));
    // Columns grew to fit the texts.
    EXPECT_GE(grid_.ColumnWidth(kNameColumn), grid_.TextWidth(grid_.Cell(with, kNameColumn)) + 4);
    EXPECT_TRUE(manager_.Buttons().containerCommands);

    // "Экспорт" follows the picked row's certificate.
    manager_.SGspscontSelectCell(without);
    EXPECT_FALSE(manager_.Buttons().exportCertificate);
    manager_.SGspscontSelectCell(with);
    EXPECT_TRUE(manager_.Buttons().exportCertificate);
    const auto choice = manager_.SelectedContainer();
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->providerType, 75u);
    EXPECT_EQ(choice->providerName, kCryptoPro2001Name);
    EXPECT_EQ(choice->containerName, "с сертификатом");
    manager_.select_contClick();
    EXPECT_EQ(manager_.ChosenContainerName(), "с сертификатом");

    // Without a chosen provider "Найти" leaves the grid as it is.
    manager_.SelectProvider(-1);
    manager_.BSearchClick();
    EXPECT_EQ(grid_.RowCount(), 3);
}

TEST_F(ContainerManagerTest, ShowExportAndAddCertificate) {
    Container("с сертификатом", true);
    Container("пустой", false, true, true);
    ShowAndSearch();
    manager_.SGspscontSelectCell(RowOf("с сертификатом"));
    manager_.showPKClick();
    const std::string text = view_.PlainText();
    EXPECT_TRUE(
        text.starts_with("Информация о контейнере КЭП:\nУникальное имя:с сертификатом\n"
                         "Распечатка значения открытого ключа:\n"))
        << text;
    EXPECT_NE(text.find("Информация о сертификате в контейнере:"), std::string::npos);
    ASSERT_NE(record_, nullptr);
    EXPECT_EQ(record_->Kind, "CERT");

    const fs::path exported = folder_.Root() / "экспорт.cer";
    dialogs_.saveAnswers = {std::nullopt, exported};
    manager_.exp_certClick();
    EXPECT_EQ(view_.LastLineText(), "Действие отменено");
    manager_.exp_certClick();
    EXPECT_EQ(view_.LastLineText(), "Сертификат экспортирован в файл - " + exported.string());
    EXPECT_EQ(ReadFileBytes(exported), ReadFileBytes(Fixture("ee-2001.cer")));

    // The empty container takes the certificate of its key, and refuses another's.
    manager_.SGspscontSelectCell(RowOf("пустой"));
    manager_.showPKClick();
    EXPECT_EQ(view_.LastLineText(), "Cертификата в контейнере нет.");
    dialogs_.openAnswers = {Fixture("ee-256.cer"), Fixture("ee-2001.cer")};
    manager_.BaddCertClick();
    EXPECT_EQ(dialogs_.openFilterIndexes.back(), 2);
    EXPECT_EQ(view_.PlainText(), "");
    EXPECT_EQ(dialogs_.ErrorTexts(),
              std::vector<std::string>{"Ошибка № - Неправильный открытый ключ поставщика."});
    manager_.BaddCertClick();
    EXPECT_EQ(view_.PlainText(), "Сертификат успешно установлен в контейнер\n");
    EXPECT_TRUE(CertificateInContainer(kCryptoPro2001Name, 75, "пустой", dialogs_));
    EXPECT_EQ(dialogs_.ErrorTexts().size(), 1u);
}

TEST_F(ContainerManagerTest, DeleteAsksFirstAndEmptiesTheGridWithTheLastRow) {
    Container("единственный", false);
    ShowAndSearch();
    dialogs_.messageAnswers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    manager_.BdelContClick();
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, "Удалить контейнер? Он не восстанавливается!");
    EXPECT_EQ(dialogs_.messages[0].caption, "Удалить?");
    EXPECT_EQ(dialogs_.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(ContainerNames(), std::vector<std::string>{"единственный"});
    EXPECT_TRUE(grid_.Enabled());

    manager_.BdelContClick();
    EXPECT_EQ(view_.PlainText(), "контейнер удалён\n");
    EXPECT_TRUE(ContainerNames().empty());
    EXPECT_FALSE(grid_.Enabled());
    EXPECT_EQ(grid_.Cell(1, kContainerColumn), "");
    EXPECT_FALSE(manager_.Buttons().containerCommands);
    EXPECT_FALSE(manager_.Buttons().exportCertificate);
}

TEST_F(ContainerManagerTest, CopyProposesTheNameAndCopiesOnlyWhenAsked) {
    Container("исходный", true);
    Container("закрытый", false, false);
    ShowAndSearch();
    manager_.SGspscontSelectCell(RowOf("исходный"));
    const std::string folder_name = grid_.Cell(RowOf("исходный"), kNameColumn);

    copy_.answers = {std::nullopt, CopyKeyAnswer{"копия", true}};
    manager_.BCopyKeyClick();
    EXPECT_EQ(copy_.proposals.back(), folder_name + " - Копия");
    EXPECT_EQ(ContainerNames().size(), 2u);
    manager_.BCopyKeyClick();
    EXPECT_EQ(view_.PlainText(), "Ключ скопирован\n");
    EXPECT_TRUE(CertificateInContainer(kCryptoPro2001Name, 75, "копия", dialogs_));

    // A key that may not leave its container: the failure line, and the new
    // container stays empty.
    manager_.BSearchClick();
    manager_.SGspscontSelectCell(RowOf("закрытый"));
    copy_.answers = {CopyKeyAnswer{"копия закрытого", false}};
    manager_.BCopyKeyClick();
    EXPECT_TRUE(view_.PlainText().starts_with("Ошибка  - ")) << view_.PlainText();
    EXPECT_EQ(statuses_.back(), "");
}

}  // namespace
}  // namespace velmora
