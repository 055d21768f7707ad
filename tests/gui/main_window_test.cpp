#include "app/qt/main_window.h"

#include "app/qt/application.h"
#include "encoding/error.h"
#include "gui/scripted_dialogs.h"
#include "gui/test_files.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

namespace velmora {
namespace {

using testing::DataFile;
using testing::ScriptedDialogs;

class MainWindow : public testing::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs_ = dialogs.get();
        window_ = std::make_unique<TFVelmora>(folder_, std::move(dialogs));
    }
    void TearDown() override {
        window_.reset();
        QGuiApplication::clipboard()->clear();
        TempFolderTest::TearDown();
    }

    bool Enabled(const char* name) const {
        QAction* action = window_->MenuItem(name);
        EXPECT_NE(action, nullptr) << name;
        return action != nullptr && action->isEnabled();
    }
    void Trigger(const char* name) {
        QAction* action = window_->MenuItem(name);
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
    }
    std::vector<std::string> ViewLines() const {
        std::vector<std::string> lines;
        for (QTextBlock block = window_->Rep()->document()->begin(); block.isValid();
             block = block.next()) {
            lines.push_back(block.text().toStdString());
        }
        return lines;
    }
    // The enabled states of the five print items and their submenu.
    std::map<std::string, bool> PrintStates() const {
        std::map<std::string, bool> states;
        for (const char* name :
             {"mPrint", "bPrint", "WORD1", "PrintotzyvCer", "Pr_ReQAPCont", "printVrs"}) {
            states[name] = Enabled(name);
        }
        return states;
    }

    static std::map<std::string, bool> CertificateStates() {
        return {{"mPrint", true},        {"bPrint", true},        {"WORD1", false},
                {"PrintotzyvCer", true}, {"Pr_ReQAPCont", false}, {"printVrs", true}};
    }

    ScriptedDialogs* dialogs_ = nullptr;
    std::unique_ptr<TFVelmora> window_;
};

TEST_F(MainWindow, IsTheDesignedWindow) {
    EXPECT_EQ(window_->objectName(), "FVelmora");
    EXPECT_EQ(window_->windowTitle(), "Velmora");
    EXPECT_EQ(window_->size(), QSize(887, 480));
    EXPECT_EQ(window_->StartFolder(), folder_);
    QTextEdit* rep = window_->Rep();
    EXPECT_EQ(rep->objectName(), "rep");
    EXPECT_EQ(window_->centralWidget(), rep);
    EXPECT_TRUE(rep->isReadOnly());
    EXPECT_EQ(rep->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(rep->font().family(), "Arial Cyr");
    EXPECT_EQ(rep->font().pointSize(), 10);
    // The design's font is not on this system; a metric-compatible one with
    // Cyrillic letters stands in for it.
    EXPECT_EQ(QFontInfo(rep->font()).family(), "Liberation Sans");
    EXPECT_EQ(window_->CurrentRecord(), nullptr);
}

TEST_F(MainWindow, StartsWithTheCertificateOfTheFirstArgument) {
    const auto file = DataFile("ee-256.cer");
    window_->SetStartFile(file);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));

    const std::vector<std::string> lines = ViewLines();
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines[0], file.string());
    EXPECT_EQ(lines[1], "Квалифицированный сертификат");
    ASSERT_NE(window_->CurrentRecord(), nullptr);
    EXPECT_EQ(window_->CurrentRecord()->Kind, "CERT");
    EXPECT_EQ(PrintStates(), CertificateStates());
    EXPECT_TRUE(dialogs_->messages.empty());
    // The report is shown from its top.
    EXPECT_EQ(window_->Rep()->textCursor().position(), 0);
    EXPECT_EQ(window_->Rep()->verticalScrollBar()->value(), 0);

    // Showing the window again (after it was minimised) loads nothing anew.
    window_->View().Clear();
    window_->hide();
    window_->show();
    EXPECT_TRUE(window_->Rep()->document()->isEmpty());
}

TEST_F(MainWindow, RequestAfterCertificateSwitchesThePrintItems) {
    const auto certificate = DataFile("ee-256.cer");
    const auto request = DataFile("req-full.p10");  // the request filter offers .p10
    dialogs_->openAnswers = {certificate, request};
    Trigger("MCert");
    EXPECT_EQ(PrintStates(), CertificateStates());
    Trigger("Mrequest");

    EXPECT_EQ(dialogs_->openFilterIndexes, (std::vector<int>{2, 1}));
    EXPECT_EQ(ViewLines().at(0), request.string());
    EXPECT_EQ(window_->CurrentRecord()->Kind, "REQ");
    const std::map<std::string, bool> request_states = {
        {"mPrint", true},         {"bPrint", false},      {"WORD1", true},
        {"PrintotzyvCer", false}, {"Pr_ReQAPCont", true}, {"printVrs", false}};
    EXPECT_EQ(PrintStates(), request_states);
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(MainWindow, UnsupportedFileKeepsTheMenuStates) {
    const auto crl = DataFile("crl-full.crl");
    dialogs_->openAnswers = {DataFile("ee-512.cer"), crl};
    Trigger("MCert");
    Trigger("MCert");

    EXPECT_EQ(dialogs_->ErrorTexts(), std::vector<std::string>{"Файл не поддерживается"});
    EXPECT_EQ(ViewLines(), (std::vector<std::string>{crl.string(), "Файл не поддерживается"}));
    EXPECT_EQ(PrintStates(), CertificateStates());
    // The certificate items stay enabled over an empty record.
    ASSERT_NE(window_->CurrentRecord(), nullptr);
    EXPECT_EQ(window_->CurrentRecord()->Kind, "");
    EXPECT_TRUE(window_->CurrentRecord()->Subject.Items.empty());
}

TEST_F(MainWindow, UnsupportedFirstFileLeavesThePrintMenuOff) {
    window_->SetStartFile(folder_ / "missing.cer");
    window_->show();
    EXPECT_EQ(dialogs_->ErrorTexts(), std::vector<std::string>{"Файл не поддерживается"});
    EXPECT_FALSE(Enabled("mPrint"));
    EXPECT_FALSE(Enabled("bPrint"));
}

TEST_F(MainWindow, CancelledOpenChangesNothing) {
    dialogs_->openAnswers = {DataFile("ee-256.cer"), std::nullopt};
    Trigger("MCert");
    const std::vector<std::string> before = ViewLines();
    const TRCstruct* record = window_->CurrentRecord();
    Trigger("Mrequest");
    EXPECT_EQ(ViewLines(), before);
    EXPECT_EQ(window_->CurrentRecord(), record);
}

TEST_F(MainWindow, PopupItemsFollowSelectionAndClipboard) {
    window_->show();
    window_->LoadFromFile(DataFile("ee-2001.cer"));
    QTextEdit* rep = window_->Rep();
    QMenu* popup = window_->PopupMenu();
    const std::string report = rep->toPlainText().toStdString();
    const auto open_popup = [&] {
        emit rep->customContextMenuRequested(QPoint(10, 10));
        EXPECT_TRUE(popup->isVisible());
        std::map<std::string, bool> states;
        for (QAction* action : popup->actions()) {
            if (!action->isSeparator()) {
                states[action->objectName().toStdString()] = action->isEnabled();
            }
        }
        popup->close();
        return states;
    };
    const auto trigger = [&](const char* name) {
        popup->findChild<QAction*>(QString::fromUtf8(name))->trigger();
    };

    QGuiApplication::clipboard()->clear();
    std::map<std::string, bool> nothing_selected = {{"itemUndo", false},   {"itemCut", false},
                                                    {"itemCopy", false},   {"itemPaste", false},
                                                    {"itemDelete", false}, {"itemSelectAll", true}};
    EXPECT_EQ(open_popup(), nothing_selected);

    QGuiApplication::clipboard()->setText(QStringLiteral("вставка"));
    std::map<std::string, bool> with_clipboard = nothing_selected;
    with_clipboard["itemPaste"] = true;
    EXPECT_EQ(open_popup(), with_clipboard);

    trigger("itemSelectAll");
    std::map<std::string, bool> all_selected = {{"itemUndo", false},  {"itemCut", true},
                                                {"itemCopy", true},   {"itemPaste", true},
                                                {"itemDelete", true}, {"itemSelectAll", true}};
    EXPECT_EQ(open_popup(), all_selected);

    // The view is read-only: cut, delete and paste leave its text as it was,
    // and nothing written by the program can be undone.
    trigger("itemCut");
    trigger("itemDelete");
    trigger("itemPaste");
    EXPECT_EQ(rep->toPlainText().toStdString(), report);
    EXPECT_FALSE(rep->document()->isUndoAvailable());
    trigger("itemCopy");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), report);
}

TEST_F(MainWindow, ConversionsThroughTheMenu) {
    const auto pem = testing::TempFolderTest::Copy("ee-256.pem", "user.pem");
    const auto der = testing::TempFolderTest::Copy("ee-256.cer", "user.cer");
    dialogs_->openAnswers = {pem, der};
    dialogs_->saveAnswers = {folder_ / "DER-user.pem", folder_ / "PEM-user.cer"};
    Trigger("PEMtoDER1");
    Trigger("DERtoPEM1");

    EXPECT_EQ(dialogs_->openFilterIndexes, (std::vector<int>{4, 4}));
    ASSERT_EQ(dialogs_->saveRequests.size(), 2u);
    EXPECT_EQ(dialogs_->saveRequests[0].folder, folder_);
    EXPECT_EQ(dialogs_->saveRequests[0].proposedName, "DER-user.pem");
    EXPECT_EQ(dialogs_->saveRequests[1].proposedName, "PEM-user.cer");
    ASSERT_EQ(dialogs_->messages.size(), 2u);
    EXPECT_EQ(dialogs_->messages[0].text, "Создан файл - " + (folder_ / "DER-user.pem").string());
    EXPECT_EQ(dialogs_->messages[1].text, "Создан файл - " + (folder_ / "PEM-user.cer").string());
    EXPECT_EQ(testing::ReadAll(folder_ / "DER-user.pem"), testing::ReadAll(der));
    std::string b64 = AsText(testing::ReadAll(DataFile("ee-256-b64.cer")));
    std::erase(b64, '\n');
    std::erase(b64, '\r');
    EXPECT_EQ(AsText(testing::ReadAll(folder_ / "PEM-user.cer")), b64 + "\r\n");
}

// Records the report's text each time the view is painted.
class PaintRecorder : public QObject {
  public:
    explicit PaintRecorder(QTextEdit* edit) : edit_(edit) {
        edit_->viewport()->installEventFilter(this);
    }
    std::vector<std::string> painted;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted.push_back(edit_->toPlainText().toStdString());
        }
        return QObject::eventFilter(object, event);
    }

  private:
    QTextEdit* edit_;
};

TEST_F(MainWindow, CrlListingWithProgressLinesPaintedAsWritten) {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    dialogs_->openAnswers = {DataFile("ee-256.cer")};
    Trigger("MCert");
    const TRCstruct* record = window_->CurrentRecord();

    const auto crl = testing::TempFolderTest::Copy("crl-full.crl", "list.crl");
    dialogs_->openAnswers = {crl};
    PaintRecorder recorder(window_->Rep());
    Trigger("crl1");

    EXPECT_EQ(dialogs_->openFilterIndexes.back(), 3);
    const std::vector<std::string> lines = ViewLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].starts_with("загрузка CRL - ")) << lines[0];
    EXPECT_TRUE(lines[1].starts_with("сохранение результатов - ")) << lines[1];
    EXPECT_TRUE(lines[2].starts_with("Данные сохранены в " + crl.string() + ".csv в ")) << lines[2];
    const std::string listing = AsText(testing::ReadAll(crl.string() + ".csv"));
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 3 + 13);
    // The first progress line was on the screen before the CRL was decoded.
    ASSERT_FALSE(recorder.painted.empty());
    EXPECT_TRUE(recorder.painted.front().starts_with("загрузка CRL - "));
    EXPECT_EQ(recorder.painted.front().find("сохранение"), std::string::npos);
    // The listing touches neither the record nor the menus.
    EXPECT_EQ(window_->CurrentRecord(), record);
    EXPECT_EQ(PrintStates(), CertificateStates());
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(MainWindow, ErrorInsideACommandIsShownAndTheWindowGoesOn) {
    // The listing's place is taken by a folder: writing it fails.
    const auto crl = testing::TempFolderTest::Copy("crl-full.crl", "list.crl");
    std::filesystem::create_directory(crl.string() + ".csv");
    dialogs_->openAnswers = {crl, DataFile("ee-256.cer")};
    Trigger("crl1");
    ASSERT_EQ(dialogs_->ErrorTexts().size(), 1u);
    EXPECT_FALSE(dialogs_->ErrorTexts()[0].empty());
    for (const std::string& line : ViewLines()) {
        EXPECT_EQ(line.find("Данные сохранены"), std::string::npos);
    }
    Trigger("MCert");
    EXPECT_EQ(window_->CurrentRecord()->Kind, "CERT");
}

TEST_F(MainWindow, CrlArgumentIsListed) {
    const auto crl = testing::TempFolderTest::Copy("crl-empty.crl", "empty.crl");
    window_->SetStartFile(crl);
    window_->show();
    EXPECT_TRUE(dialogs_->messages.empty());
    const std::string listing = AsText(testing::ReadAll(crl.string() + ".csv"));
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 3);
    EXPECT_EQ(ViewLines().size(), 3u);
}

TEST_F(MainWindow, InventoryWithAnEmptyPackageDatabase) {
    window_->SetInventorySources({folder_, folder_ / "apmgr"});
    window_->LoadFromFile(DataFile("ee-256.cer"));
    Trigger("skziInfo");
    const std::vector<std::string> lines = ViewLines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6),
              (std::vector<std::string>{"ПО КриптоПро:", "СКЗИ «КриптоПро CSP» версии ", "",
                                        "ПО Кода Безопасности:", "", "Прочее:"}));
    EXPECT_TRUE(lines[6].starts_with("Программный криптопровайдер Velmora")) << lines[6];
    // Every line is regular text of size 12.
    for (QTextBlock block = window_->Rep()->document()->begin(); block.isValid();
         block = block.next()) {
        const QTextCharFormat format =
            block.text().isEmpty() ? block.charFormat() : block.begin().fragment().charFormat();
        EXPECT_EQ(format.fontPointSize(), 12) << block.text().toStdString();
        EXPECT_NE(format.fontWeight(), QFont::Bold) << block.text().toStdString();
    }
}

TEST_F(MainWindow, QuitClosesTheWindowAndFreesTheRecord) {
    window_->show();
    window_->LoadFromFile(DataFile("ee-256.cer"));
    ASSERT_NE(window_->CurrentRecord(), nullptr);
    Trigger("quit");
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->CurrentRecord(), nullptr);
}

// An object whose event handling fails, as a command's handler might.
class FailingObject : public QObject {
  public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            throw Error("Сбой обработчика");
        }
        return QObject::event(event);
    }
};

TEST(Application, ErrorEscapingAHandlerIsShownAndTheLoopGoesOn) {
    auto* app = static_cast<VelmoraApplication*>(QCoreApplication::instance());
    std::vector<std::string> shown;
    app->SetErrorHandler([&shown](const std::string& message) { shown.push_back(message); });
    FailingObject object;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &event));
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    app->SetErrorHandler(nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"Сбой обработчика", "Сбой обработчика"}));
}

}  // namespace
}  // namespace velmora
