// The print items of the main window: each fills its form from the loaded
// record and hands the copy to the opener, which here records instead of
// starting an application.

#include "app/qt/main_window.h"
#include "print/tables/certificate_tables.h"
#include "support/scripted_dialogs.h"

#include "gui/test_files.h"
#include "print/print_support.h"

#include <gtest/gtest.h>
#include <QAction>

namespace velmora {
namespace {

using testing::DataFile;
using testing::ScriptedDialogs;

class PrintMenu : public testing::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs_ = dialogs.get();
        window_ = std::make_unique<TFVelmora>(folder_, std::move(dialogs));
        auto opener = std::make_unique<testing::RecordingOpener>();
        opener_ = opener.get();
        window_->SetPrinting(std::move(opener), {{testing::TemplateFolder()}, folder_});
    }

    void Trigger(const char* name) {
        QAction* action = window_->MenuItem(name);
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
    }
    std::string Opened() const {
        return opener_->opened.empty() ? "" : opener_->opened.back().filename().string();
    }

    ScriptedDialogs* dialogs_ = nullptr;
    testing::RecordingOpener* opener_ = nullptr;
    std::unique_ptr<TFVelmora> window_;
};

TEST_F(PrintMenu, EachItemPrintsItsFormFromTheLoadedRecord) {
    window_->LoadFromFile(DataFile("ee-256.cer"));
    dialogs_->messageAnswers = {MessageAnswer::No};
    Trigger("bPrint");
    EXPECT_EQ(Opened(), "cerUl.xlsx");
    Trigger("printVrs");
    EXPECT_EQ(Opened(), "cervrs.xlsx");
    Trigger("PrintotzyvCer");
    EXPECT_EQ(Opened(), "otzyv.docx");
    EXPECT_EQ(window_->Printer().Tables().Find(print::kOblIsp)->RecordCount(), 6u);

    window_->LoadFromFile(DataFile("req-full.req"));
    Trigger("WORD1");
    EXPECT_EQ(Opened(), "keyexch1.docx");
    Trigger("Pr_ReQAPCont");
    EXPECT_EQ(Opened(), "reqAPkont.docx");
    EXPECT_EQ(opener_->opened.size(), 5u);
    ASSERT_EQ(dialogs_->messages.size(), 1u);  // the question alone
    EXPECT_EQ(dialogs_->messages[0].text, "Для физ.лица?");
}

TEST_F(PrintMenu, AfterAFailedLoadTheCertificateItemsPrintAnEmptyForm) {
    window_->LoadFromFile(DataFile("ee-256.cer"));
    window_->LoadFromFile(DataFile("crl-full.crl"));
    dialogs_->messages.clear();
    dialogs_->messageAnswers = {MessageAnswer::Yes};
    Trigger("bPrint");
    EXPECT_EQ(Opened(), "cer.xlsx");
    const auto& tables = window_->Printer().Tables();
    EXPECT_EQ(tables.Find(print::kTabOD)->RecordCount(), 1u);
    EXPECT_EQ(tables.Find(print::kTabOD)->Value(0, 0), "");
    EXPECT_EQ(tables.Find(print::kOblIsp)->RecordCount(), 0u);

    // A template that is nowhere: the error box, and the window goes on.
    window_->SetPrinting(std::make_unique<testing::RecordingOpener>(), {{folder_}, folder_});
    Trigger("printVrs");
    EXPECT_EQ(dialogs_->ErrorTexts(),
              std::vector<std::string>{"Can't find the file \"cervrs.xltx\""});
}

}  // namespace
}  // namespace velmora
