#include "app/input/conversion.h"

#include "gui/scripted_dialogs.h"
#include "gui/test_files.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::DataFile;
using testing::ReadAll;
using testing::ScriptedDialogs;

class Conversion : public testing::TempFolderTest {};

std::string WithoutLineBreaks(std::string text) {
    std::erase(text, '\r');
    std::erase(text, '\n');
    return text;
}

TEST_F(Conversion, PemToDerProposesANameBesideTheSourceAndWritesTheBytes) {
    const auto source = Copy("ee-256.pem", "user.pem");
    const auto target = folder_ / "chosen.der";
    ScriptedDialogs dialogs;
    dialogs.openAnswers = {source};
    dialogs.saveAnswers = {target};
    RunPemToDer(dialogs);

    EXPECT_EQ(dialogs.openFilterIndexes, std::vector<int>{4});
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].folder, folder_);
    EXPECT_EQ(dialogs.saveRequests[0].proposedName, "DER-user.pem");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Создан файл - " + target.string());
    EXPECT_EQ(dialogs.messages[0].caption, "Velmora");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(ReadAll(target), ReadAll(DataFile("ee-256.cer")));
}

TEST_F(Conversion, DerToPemWritesOneBase64Line) {
    const auto source = Copy("ee-256.cer", "user.cer");
    const auto target = folder_ / "PEM-user.cer";
    ScriptedDialogs dialogs;
    dialogs.openAnswers = {source};
    dialogs.saveAnswers = {target};
    RunDerToPem(dialogs);

    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].proposedName, "PEM-user.cer");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Создан файл - " + target.string());
    // The fixture's bare base64 was written by openssl in lines of 64.
    const std::string expected = WithoutLineBreaks(AsText(ReadAll(DataFile("ee-256-b64.cer"))));
    EXPECT_EQ(AsText(ReadAll(target)), expected + "\r\n");
}

TEST_F(Conversion, CancellingEitherDialogChangesNothing) {
    const auto source = Copy("ee-256.pem", "user.pem");
    ScriptedDialogs cancel_open;
    cancel_open.openAnswers = {std::nullopt};
    RunPemToDer(cancel_open);
    EXPECT_TRUE(cancel_open.saveRequests.empty());
    EXPECT_TRUE(cancel_open.messages.empty());

    ScriptedDialogs cancel_save;
    cancel_save.openAnswers = {source};
    cancel_save.saveAnswers = {std::nullopt};
    RunDerToPem(cancel_save);
    EXPECT_TRUE(cancel_save.messages.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(Conversion, AFileThatWasNotCreatedIsNotReportedAsCreated) {
    testing::WriteAll(folder_ / "text.txt", "no base64 here!\n");
    const auto target = folder_ / "out.der";
    ScriptedDialogs dialogs;
    dialogs.openAnswers = {folder_ / "text.txt"};
    dialogs.saveAnswers = {target};
    RunPemToDer(dialogs);
    EXPECT_EQ(dialogs.ErrorTexts(),
              std::vector<std::string>{"Не удалось создать файл - " + target.string()});
    EXPECT_FALSE(std::filesystem::exists(target));

    // A target in a folder that does not exist.
    ScriptedDialogs missing_folder;
    missing_folder.openAnswers = {DataFile("ee-256.cer")};
    missing_folder.saveAnswers = {folder_ / "no" / "such" / "out.txt"};
    RunDerToPem(missing_folder);
    EXPECT_EQ(missing_folder.ErrorTexts().size(), 1u);
}

}  // namespace
}  // namespace velmora
