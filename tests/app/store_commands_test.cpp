#include "app/commands/store_commands.h"

#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/stores/cert_store.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "crypto/stores/store_operations.h"
#include "encoding/atomic_file.h"
#include "encoding/temp_folder.h"
#include "report/view/recording_view.h"
#include "support/key_folder.h"
#include "support/scripted_dialogs.h"
#include "support/store_folders.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora {
namespace {

using platform::CertContext;
using platform::StoreLocation;
using testing::DataFile;

Bytes FileBytes(const std::filesystem::path& file) {
    return ReadFileBytes(file).value_or(Bytes{});
}

Bytes Thumbprint(const std::string& fixture) {
    return platform::HashCertificateSha1(FileBytes(DataFile(fixture)));
}

CertContext Fixture(const std::string& name) {
    return platform::CreateCertificateContext(FileBytes(DataFile(name)));
}

// The thumbprints of a store's certificates, and the container of each.
std::vector<std::pair<Bytes, std::string>> Contents(StoreLocation location, const char* name) {
    std::vector<std::pair<Bytes, std::string>> contents;
    auto store = platform::OpenSystemStore(location, name);
    for (const CertContext& certificate : platform::StoreCertificates(*store)) {
        contents.emplace_back(platform::HashCertificateSha1(certificate->Encoded()),
                              certificate->KeyProv() ? certificate->KeyProv()->containerName : "");
    }
    return contents;
}

class StoreCommands : public testing::StoreFolderTest {
  protected:
    void SetUp() override {
        StoreFolderTest::SetUp();
        installed_.emplace(&selector_);
    }
    void TearDown() override {
        installed_.reset();
        StoreFolderTest::TearDown();
    }

    void Put(StoreLocation location, const char* store_name, const std::string& fixture,
             const std::string& container = "") {
        auto store = platform::OpenSystemStore(location, store_name);
        CertContext certificate = Fixture(fixture);
        if (!container.empty()) {
            certificate = certificate->WithKeyProv(
                platform::KeyProvInfo{container, "provider", 80, platform::kAtKeyExchange});
        }
        ASSERT_TRUE(platform::AddCertificateToStore(*store, certificate));
    }

    std::string Text() const { return view_.PlainText(); }

    RecordingView view_;
    testing::ScriptedDialogs dialogs_;
    std::unique_ptr<TRCstruct> record_;
    WindowState window_{view_, dialogs_, record_};
    testing::ScriptedSelector selector_;
    std::optional<platform::ScopedCertificateSelector> installed_;
};

TEST_F(StoreCommands, PersonalStoreShowExportAndDelete) {
    Put(StoreLocation::CurrentUser, "MY", "ee-256.cer", "контейнер");
    Put(StoreLocation::CurrentUser, "MY", "ee-512.cer");

    // "Посмотреть": the chosen certificate becomes the record, with its binding.
    selector_.answers = {Thumbprint("ee-256.cer"), std::nullopt};
    ShowMyCertificate(window_);
    ASSERT_TRUE(record_);
    EXPECT_EQ(record_->Kind, "CERT");
    EXPECT_EQ(record_->ContainerName, "контейнер");
    EXPECT_NE(Text().find("Иванов"), std::string::npos);
    TRCstruct* shown = record_.get();
    ShowMyCertificate(window_);  // cancelled: nothing is shown, the record stays
    EXPECT_EQ(record_.get(), shown);
    EXPECT_EQ(Text(), "");

    // "Экспорт": the DER exactly; each cancelled step says so.
    const auto target = folder_ / "exported.cer";
    selector_.answers = {Thumbprint("ee-512.cer"), std::nullopt, Thumbprint("ee-512.cer"),
                         Thumbprint("ee-512.cer")};
    dialogs_.saveAnswers = {target, std::nullopt, folder_ / "no" / "such" / "folder.cer"};
    ExportMyCertificate(window_);
    EXPECT_EQ(FileBytes(target), FileBytes(DataFile("ee-512.cer")));
    EXPECT_EQ(Text(), "Сертификат экспортирован в файл - " + target.string() + "\n");
    ExportMyCertificate(window_);
    EXPECT_EQ(Text(), "Действие отменено\n");
    ExportMyCertificate(window_);
    EXPECT_EQ(Text(), "Действие отменено\n");
    ExportMyCertificate(window_);  // a file that cannot be written is no export
    EXPECT_EQ(Text(), "");
    ASSERT_EQ(dialogs_.ErrorTexts().size(), 1u);
    EXPECT_NE(dialogs_.ErrorTexts()[0].find("Не удалось создать файл - "), std::string::npos);

    // "Удалить": cancelled deletes nothing and says why; chosen deletes.
    selector_.answers = {std::nullopt, Thumbprint("ee-256.cer")};
    DeleteMyCertificate(window_);
    EXPECT_EQ(Text(), "Ошибка  - Операция была отменена пользователем.\n");
    EXPECT_EQ(Contents(StoreLocation::CurrentUser, "MY").size(), 2u);
    DeleteMyCertificate(window_);
    EXPECT_EQ(Text(), "Сертификат успешно удалён\n");
    EXPECT_EQ(Contents(StoreLocation::CurrentUser, "MY"),
              (std::vector<std::pair<Bytes, std::string>>{{Thumbprint("ee-512.cer"), ""}}));
    EXPECT_TRUE(selector_.answers.empty());
}

// "Установить" in "Личные": bound and added only when the chosen container's
// exchange key is the certificate's key.
TEST_F(StoreCommands, PersonalInstallChecksTheContainerKey) {
    testing::ScriptedPasswordPrompt prompt;
    platform::ScopedPasswordPrompt prompting(&prompt);
    prompt.answers = {"", ""};
    const char* provider = platform::kCryptoPro2012Name;
    for (const auto& [container, key] :
         {std::pair{"свой", "keys/ee-256.key"}, std::pair{"чужой", "keys/req-full.key"}}) {
        ASSERT_TRUE(platform::ImportContainerKey(container, provider, platform::kProvGost2012,
                                                 FileBytes(DataFile(key)), nullptr, false))
            << platform::LastErrorText();
    }
    const ContainerChoice own{platform::kProvGost2012, provider, "свой"};
    const ContainerChoice other{platform::kProvGost2012, provider, "чужой"};
    const ContainerChoice missing{platform::kProvGost2012, provider, "нет такого"};

    dialogs_.openAnswers = {
        DataFile("ee-256.pem"),   DataFile("ee-256.pem"), DataFile("ee-256.pem"), std::nullopt,
        DataFile("req-full.req"), DataFile("ee-256.cer"), DataFile("ee-256.cer")};
    dialogs_.containerAnswers = {other, missing, std::nullopt, own, own};
    for (int i = 0; i < 2; ++i) {
        AddMyCertificate(window_);
        EXPECT_EQ(Text(), "Сертификат не соотвествует закрытому ключу\n") << i;
        EXPECT_FALSE(std::filesystem::exists(UserStore("MY")) &&
                     !std::filesystem::is_empty(UserStore("MY")));
    }
    for (int i = 0; i < 3; ++i) {  // cancelled choice, cancelled file, no certificate
        AddMyCertificate(window_);
        EXPECT_EQ(Text(), "") << i;
    }
    EXPECT_EQ(dialogs_.containerRequests, 3);
    AddMyCertificate(window_);
    EXPECT_EQ(Text(), "Сертификат добавлен\n");
    AddMyCertificate(window_);  // again: replaced, and said so
    EXPECT_EQ(Text(), "Сертификат добавлен\n");
    EXPECT_EQ(Contents(StoreLocation::CurrentUser, "MY"),
              (std::vector<std::pair<Bytes, std::string>>{{Thumbprint("ee-256.cer"), "свой"}}));
    auto store = platform::OpenSystemStore(StoreLocation::CurrentUser, "MY");
    const CertContext stored = platform::StoreCertificates(*store).at(0);
    EXPECT_EQ(stored->KeyProv(), (platform::KeyProvInfo{"свой", provider, platform::kProvGost2012,
                                                        platform::kAtKeyExchange}));
    EXPECT_TRUE(dialogs_.ErrorTexts().empty());
    EXPECT_EQ(dialogs_.openFilterIndexes, std::vector<int>(7, 2));
}

TEST_F(StoreCommands, SharedHandlersFollowTheInvokingItem) {
    EXPECT_EQ(StoreOfMenuItem("BCA_Add"), "CA");
    EXPECT_EQ(StoreOfMenuItem("Bopenca"), "CA");
    EXPECT_EQ(StoreOfMenuItem("BDelCACert"), "CA");
    EXPECT_EQ(StoreOfMenuItem("BaddCertRoot"), "ROOT");
    EXPECT_EQ(StoreOfMenuItem("BopenCertRoot"), "ROOT");
    EXPECT_EQ(StoreOfMenuItem("BDelCertRoot"), "ROOT");
    EXPECT_EQ(StoreOfMenuItem("addMyCert"), std::nullopt);
    // An item of neither store does nothing: no dialog is shown.
    AddStoreCertificate(window_, "Opmycer");
    ShowStoreCertificate(window_, "");
    DeleteStoreCertificateCommand(window_, "BDelCA");
    EXPECT_TRUE(dialogs_.openFilterIndexes.empty());
    EXPECT_TRUE(selector_.offered.empty());
}

// The CA and root commands as the user running the tests: the machine's
// stores for root, the user's own for anyone else.
void InstallViewDelete(testing::ScriptedDialogs& dialogs, testing::ScriptedSelector& selector,
                       WindowState& window, RecordingView& view, StoreLocation expected) {
    const auto fixture = DataFile("intermediate.cer");
    dialogs.openAnswers = {fixture, fixture, DataFile("ca.cer"), DataFile("req-full.req"),
                           std::nullopt};
    AddStoreCertificate(window, "BCA_Add");
    EXPECT_EQ(view.PlainText(), "Сертификат добавлен\n");
    AddStoreCertificate(window, "BCA_Add");  // again: replaced, and said so
    EXPECT_EQ(view.PlainText(), "Сертификат добавлен\n");
    AddStoreCertificate(window, "BaddCertRoot");
    EXPECT_EQ(view.PlainText(), "Сертификат добавлен\n");
    AddStoreCertificate(window, "BaddCertRoot");
    EXPECT_EQ(view.PlainText(), "Файл не поддерживается\n");
    AddStoreCertificate(window, "BCA_Add");
    EXPECT_EQ(view.PlainText(), "");
    EXPECT_EQ(dialogs.openFilterIndexes, std::vector<int>(5, 2));
    const StoreLocation other = expected == StoreLocation::LocalMachine
                                    ? StoreLocation::CurrentUser
                                    : StoreLocation::LocalMachine;
    EXPECT_EQ(Contents(expected, "CA").size(), 1u);
    EXPECT_EQ(Contents(expected, "ROOT").size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(platform::StoreFolder(other) / "CA"));

    selector.answers = {Thumbprint("ca.cer"), std::nullopt, Thumbprint("ca.cer")};
    ShowStoreCertificate(window, "BopenCertRoot");
    EXPECT_NE(view.PlainText().find("Тестовый корневой УЦ"), std::string::npos);
    DeleteStoreCertificateCommand(window, "BDelCertRoot");
    EXPECT_EQ(view.PlainText(), "Сертификат не удалён\n");
    DeleteStoreCertificateCommand(window, "BDelCertRoot");
    EXPECT_EQ(view.PlainText(), "Сертификат успешно удалён\n");
    EXPECT_TRUE(Contents(expected, "ROOT").empty());
    EXPECT_EQ(Contents(expected, "CA").size(), 1u);
}

TEST_F(StoreCommands, CaAndRootStoresFollowTheAdministratorRule) {
    if (::geteuid() != 0) {
        InstallViewDelete(dialogs_, selector_, window_, view_, StoreLocation::CurrentUser);
        return;
    }
    InstallViewDelete(dialogs_, selector_, window_, view_, StoreLocation::LocalMachine);

    // Another user, in a child that gives up root: the same commands write
    // to that user's own stores, in a folder the user may write.
    const auto home = folder_ / "nobody";
    std::filesystem::create_directories(home);
    ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0);
    ::chmod(folder_.c_str(), 0755);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv("XDG_DATA_HOME", (home / "user").c_str(), 1);
        ::setenv("VELMORA_MACHINE_DIR", (home / "machine").c_str(), 1);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(3);
        }
        testing::ScriptedDialogs dialogs;
        testing::ScriptedSelector selector;
        platform::ScopedCertificateSelector installed(&selector);
        RecordingView view;
        std::unique_ptr<TRCstruct> record;
        WindowState window{view, dialogs, record};
        InstallViewDelete(dialogs, selector, window, view, StoreLocation::CurrentUser);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(std::filesystem::exists(home / "user" / "velmora" / "stores" / "CA"));
}

TEST_F(StoreCommands, StoreThatCannotBeOpenedIsShownInTheErrorBox) {
    std::filesystem::create_directories(UserStore("MY").parent_path());
    std::filesystem::create_directory_symlink(folder_, UserStore("MY"));
    ShowMyCertificate(window_);
    EXPECT_EQ(dialogs_.ErrorTexts(),
              std::vector<std::string>{"Ошибка при открытии хранилища: - Отказано в доступе."});
    EXPECT_TRUE(selector_.offered.empty());
    std::vector<std::string> messages;
    EXPECT_FALSE(AddToStore(Fixture("ca.cer"), StoreLocation::CurrentUser, "MY", messages));
    EXPECT_EQ(messages, std::vector<std::string>{"Ошибка  - Отказано в доступе."});
}

TEST_F(StoreCommands, P7bOpenAndExportCancelledAtEachDialog) {
    const auto bundle = DataFile("chain.p7b");
    // Open: cancelled at the file, then at the choice, then shown.
    dialogs_.openAnswers = {std::nullopt, bundle, DataFile("chain-pem.p7b")};
    selector_.answers = {std::nullopt, Thumbprint("intermediate.cer")};
    OpenP7bCertificate(window_);
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(selector_.offered.empty());
    OpenP7bCertificate(window_);
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(record_);
    OpenP7bCertificate(window_);
    ASSERT_TRUE(record_);
    EXPECT_EQ(record_->Kind, "CERT");
    EXPECT_NE(Text().find("Тестовый подчинённый УЦ"), std::string::npos);
    EXPECT_EQ(Text().find("chain"), std::string::npos);  // no file-name line
    EXPECT_EQ(dialogs_.openFilterIndexes, std::vector<int>(3, 5));

    // Export: each cancelled step says "Действие отменено".
    const auto target = folder_ / "root";  // no extension is added
    dialogs_.openAnswers = {std::nullopt, bundle, bundle, bundle};
    selector_.answers = {std::nullopt, Thumbprint("ca.cer"), Thumbprint("ca.cer")};
    dialogs_.saveAnswers = {std::nullopt, target};
    for (int i = 0; i < 3; ++i) {
        ExportP7bCertificate(window_);
        EXPECT_EQ(Text(), "Действие отменено\n") << i;
    }
    ExportP7bCertificate(window_);
    EXPECT_EQ(Text(), "Сертификат экспортирован в файл - " + target.string() + "\n");
    EXPECT_EQ(FileBytes(target), FileBytes(DataFile("ca.cer")));

    // A file that is no bundle: the store error, then nothing chosen.
    const auto junk = folder_ / "junk.p7b";
    testing::WriteAll(junk, "junk");
    dialogs_.openAnswers = {junk};
    ExportP7bCertificate(window_);
    EXPECT_EQ(Text(), "Действие отменено\n");
    ASSERT_EQ(dialogs_.ErrorTexts().size(), 1u);
    EXPECT_EQ(dialogs_.ErrorTexts()[0].rfind("Ошибка при открытии хранилища: - ", 0), 0u);
}

}  // namespace
}  // namespace velmora
