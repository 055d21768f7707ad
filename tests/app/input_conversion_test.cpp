#include "app/input/conversion.h"

#include "gui/scripted_dialogs.h"
#include "gui/test_files.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::DataFile;
using testing::ScriptedDialogs;

class Conversion : public testing::TempFolderTest {};

// The commands' names, messages and written bytes are checked through the
// main window's menu (tests/gui); here the paths where nothing is written.
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
