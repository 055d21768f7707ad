#include "app/qt/main_window.h"

#include "app/qt/application.h"
#include "encoding/error.h"
#include "gui/test_files.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QWindow>

namespace velmora {
namespace {

using testing::DataFile;
using testing::ScriptedDialogs;
using Lines = std::vector<std::string>;
using States = std::map<std::string, bool>;

// The enabled states of the print submenu and its five items once a
// certificate was shown.
const States kCertificateStates = {{"mPrint", true},        {"bPrint", true},
                                   {"WORD1", false},        {"PrintotzyvCer", true},
                                   {"Pr_ReQAPCont", false}, {"printVrs", true}};

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

    bool Enabled(const std::string& name) const {
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
    Lines ViewLines() const {
        Lines lines;
        for (QTextBlock block = window_->Rep()->document()->begin(); block.isValid();
             block = block.next()) {
            lines.push_back(block.text().toStdString());
        }
        return lines;
    }
    // Shows the window with a start file and waits until the file was opened.
    void ShowWithStartFile(const std::filesystem::path& file) {
        bool done = false;
        window_->SetStartFile(file);
        window_->SetStartDone([&done] { done = true; });
        window_->show();
        QTRY_VERIFY(done);
        window_->SetStartDone(nullptr);
    }
    States PrintStates() const {
        States states;
        for (const auto& [name, enabled] : kCertificateStates) {
            states[name] = Enabled(name);
        }
        return states;
    }

    ScriptedDialogs* dialogs_ = nullptr;
    std::unique_ptr<TFVelmora> window_;
};

TEST_F(MainWindow, StartsWithTheCertificateOfTheFirstArgument) {
    const auto file = DataFile("ee-256.cer");
    ShowWithStartFile(file);

    const Lines lines = ViewLines();
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines[0], file.string());
    EXPECT_EQ(lines[1], "Квалифицированный сертификат");
    ASSERT_NE(window_->CurrentRecord(), nullptr);
    EXPECT_EQ(window_->CurrentRecord()->Kind, "CERT");
    EXPECT_EQ(PrintStates(), kCertificateStates);
    EXPECT_TRUE(dialogs_->messages.empty());
    // The report is shown from its top.
    EXPECT_EQ(window_->Rep()->textCursor().position(), 0);
    EXPECT_EQ(window_->Rep()->verticalScrollBar()->value(), 0);
    // The design's font is not on this system; a metric-compatible one with
    // Cyrillic letters stands in for it.
    EXPECT_EQ(window_->Rep()->font().family(), "Arial Cyr");
    EXPECT_EQ(QFontInfo(window_->Rep()->font()).family(), "Liberation Sans");

    // Showing the window again (after it was minimised) loads nothing anew.
    window_->View().Clear();
    window_->hide();
    window_->show();
    EXPECT_TRUE(window_->Rep()->document()->isEmpty());
}

TEST_F(MainWindow, RequestAfterCertificateSwitchesThePrintItems) {
    const auto request = DataFile("req-full.p10");  // the request filter offers .p10
    dialogs_->openAnswers = {DataFile("ee-256.cer"), request, std::nullopt};
    Trigger("MCert");
    EXPECT_EQ(PrintStates(), kCertificateStates);
    Trigger("Mrequest");

    EXPECT_EQ(dialogs_->openFilterIndexes, (std::vector<int>{2, 1}));
    EXPECT_EQ(ViewLines().at(0), request.string());
    EXPECT_EQ(window_->CurrentRecord()->Kind, "REQ");
    const States request_states = {{"mPrint", true},       {"bPrint", false},
                                   {"WORD1", true},        {"PrintotzyvCer", false},
                                   {"Pr_ReQAPCont", true}, {"printVrs", false}};
    EXPECT_EQ(PrintStates(), request_states);
    EXPECT_TRUE(dialogs_->messages.empty());

    // A cancelled open changes nothing.
    const Lines before = ViewLines();
    const TRCstruct* record = window_->CurrentRecord();
    Trigger("MCert");
    EXPECT_EQ(ViewLines(), before);
    EXPECT_EQ(window_->CurrentRecord(), record);
    EXPECT_EQ(PrintStates(), request_states);
}

TEST_F(MainWindow, UnsupportedFileKeepsTheMenuStates) {
    // A first file that does not load leaves the print menu off.
    const auto missing = folder_ / "missing.cer";
    ShowWithStartFile(missing);
    const std::string missing_text =
        "Не удается прочитать файл \"" + missing.string() + "\". Не удается найти указанный файл.";
    EXPECT_EQ(dialogs_->ErrorTexts(), Lines{missing_text});
    EXPECT_EQ(ViewLines(), (Lines{missing.string(), "Файл не поддерживается"}));
    EXPECT_FALSE(Enabled("mPrint"));
    EXPECT_FALSE(Enabled("bPrint"));

    const auto crl = DataFile("crl-full.crl");
    dialogs_->openAnswers = {DataFile("ee-512.cer"), crl};
    Trigger("MCert");
    Trigger("MCert");
    EXPECT_EQ(dialogs_->ErrorTexts(), (Lines{missing_text, "Файл не поддерживается"}));
    EXPECT_EQ(ViewLines(), (Lines{crl.string(), "Файл не поддерживается"}));
    // The certificate items stay enabled over an empty record.
    EXPECT_EQ(PrintStates(), kCertificateStates);
    ASSERT_NE(window_->CurrentRecord(), nullptr);
    EXPECT_EQ(window_->CurrentRecord()->Kind, "");
    EXPECT_TRUE(window_->CurrentRecord()->Subject.Items.empty());
}

// Dialogs that note, for each message box, whether the main window was
// already on the screen under it.
class WindowAwareDialogs : public ScriptedDialogs {
  public:
    QWidget* window = nullptr;
    std::vector<bool> windowShownUnderBox;

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override {
        windowShownUnderBox.push_back(window != nullptr && window->isVisible() &&
                                      window->windowHandle() != nullptr &&
                                      window->windowHandle()->isExposed());
        return ScriptedDialogs::ShowMessage(text, caption, icon, buttons);
    }
};

// A file named on the command line that does not load: the window is on the
// screen first, and the error box stands over it.
TEST_F(MainWindow, StartFileErrorBoxStandsOverTheShownWindow) {
    auto dialogs = std::make_unique<WindowAwareDialogs>();
    WindowAwareDialogs* seen = dialogs.get();
    TFVelmora window(folder_, std::move(dialogs));
    seen->window = &window;
    bool done = false;
    window.SetStartFile(folder_ / "missing.cer");
    window.SetStartDone([&done] { done = true; });
    window.show();
    QTRY_VERIFY(done);
    EXPECT_EQ(seen->windowShownUnderBox, std::vector<bool>{true});
    EXPECT_EQ(seen->ErrorTexts().size(), 1u);
}

// The program's icon is on every window; the menu bar and its menus are
// drawn in one font.
TEST_F(MainWindow, IconAndOneFontForTheMenuBarAndItsMenus) {
    EXPECT_FALSE(ProgramIcon().pixmap(32, 32).isNull());
    EXPECT_FALSE(window_->windowIcon().pixmap(32, 32).isNull());
    const QFontInfo bar(window_->menuBar()->font());
    const auto menus = window_->menuBar()->findChildren<QMenu*>();
    ASSERT_GT(menus.size(), 10);
    for (QMenu* menu : menus) {
        const QFontInfo font(menu->font());
        EXPECT_EQ(font.family(), bar.family()) << menu->objectName().toStdString();
        EXPECT_EQ(font.pointSizeF(), bar.pointSizeF()) << menu->objectName().toStdString();
    }
    // The report view keeps its own font.
    EXPECT_EQ(window_->Rep()->font().pointSize(), 10);
}

TEST_F(MainWindow, PopupItemsFollowSelectionAndClipboard) {
    window_->show();
    window_->LoadFromFile(DataFile("ee-2001.cer"));
    QTextEdit* rep = window_->Rep();
    QMenu* popup = window_->PopupMenu();
    const std::string report = rep->toPlainText().toStdString();
    // The enabled states of undo, cut, copy, paste, delete and select all,
    // as the popup shows them.
    const auto open_popup = [&] {
        emit rep->customContextMenuRequested(QPoint(10, 10));
        EXPECT_TRUE(popup->isVisible());
        std::string states;
        for (QAction* action : popup->actions()) {
            if (!action->isSeparator()) {
                states += action->isEnabled() ? '1' : '0';
            }
        }
        popup->close();
        return states;
    };
    const auto trigger = [&](const char* name) {
        popup->findChild<QAction*>(QString::fromUtf8(name))->trigger();
    };

    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(open_popup(), "000001");
    QGuiApplication::clipboard()->setText(QStringLiteral("вставка"));
    EXPECT_EQ(open_popup(), "000101");
    trigger("itemSelectAll");
    EXPECT_EQ(open_popup(), "011111");

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
    const auto pem = Copy("ee-256.pem", "user.pem");
    const auto der = Copy("ee-256.cer", "user.cer");
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
    EXPECT_EQ(testing::ReadFileBytes(folder_ / "DER-user.pem"), testing::ReadFileBytes(der));
    std::string b64 = AsText(testing::ReadFileBytes(DataFile("ee-256-b64.cer")));
    std::erase(b64, '\n');
    std::erase(b64, '\r');
    EXPECT_EQ(AsText(testing::ReadFileBytes(folder_ / "PEM-user.cer")), b64 + "\r\n");
}

TEST_F(MainWindow, ConversionThatWritesNothingSaysSo) {
    // Cancelling either dialog ends the command quietly.
    const auto pem = Copy("ee-256.pem", "user.pem");
    dialogs_->openAnswers = {std::nullopt, pem};
    dialogs_->saveAnswers = {std::nullopt};
    Trigger("PEMtoDER1");
    EXPECT_TRUE(dialogs_->saveRequests.empty());
    Trigger("DERtoPEM1");
    EXPECT_TRUE(dialogs_->messages.empty());

    // A file that was not created is not reported as created.
    testing::WriteAll(folder_ / "text.txt", "no base64 here!\n");
    const auto target = folder_ / "out.der";
    const auto elsewhere = folder_ / "no" / "such" / "out.txt";
    dialogs_->openAnswers = {folder_ / "text.txt", pem};
    dialogs_->saveAnswers = {target, elsewhere};
    Trigger("PEMtoDER1");
    Trigger("DERtoPEM1");
    EXPECT_EQ(dialogs_->ErrorTexts(),
              (Lines{"Не удается декодировать файл \"" + (folder_ / "text.txt").string() +
                         "\". Файл не содержит данных base64.",
                     "Не удается записать файл \"" + elsewhere.string() +
                         "\". Системе не удается найти указанный путь."}));
    EXPECT_EQ(dialogs_->messages.size(), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              2);  // user.pem and text.txt
}

// Records the report's text each time the view is painted.
class PaintRecorder : public QObject {
  public:
    explicit PaintRecorder(QTextEdit* edit) : edit_(edit) {
        edit_->viewport()->installEventFilter(this);
    }
    Lines painted;

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
    // A CRL named on the command line is listed at once.
    const auto empty = Copy("crl-empty.crl", "empty.crl");
    ShowWithStartFile(empty);
    EXPECT_EQ(ViewLines().size(), 3u);
    std::string listing = AsText(testing::ReadFileBytes(empty.string() + ".csv"));
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 3);

    dialogs_->openAnswers = {DataFile("ee-256.cer")};
    Trigger("MCert");
    const TRCstruct* record = window_->CurrentRecord();
    const auto crl = Copy("crl-full.crl", "list.crl");
    dialogs_->openAnswers = {crl};
    PaintRecorder recorder(window_->Rep());
    Trigger("crl1");

    EXPECT_EQ(dialogs_->openFilterIndexes.back(), 3);
    const Lines lines = ViewLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].starts_with("загрузка CRL - ")) << lines[0];
    EXPECT_TRUE(lines[1].starts_with("сохранение результатов - ")) << lines[1];
    EXPECT_TRUE(lines[2].starts_with("Данные сохранены в " + crl.string() + ".csv в ")) << lines[2];
    listing = AsText(testing::ReadFileBytes(crl.string() + ".csv"));
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 3 + 13);
    // The first progress line was on the screen before the CRL was decoded.
    ASSERT_FALSE(recorder.painted.empty());
    EXPECT_TRUE(recorder.painted.front().starts_with("загрузка CRL - "));
    EXPECT_EQ(recorder.painted.front().find("сохранение"), std::string::npos);
    // The listing touches neither the record nor the menus.
    EXPECT_EQ(window_->CurrentRecord(), record);
    EXPECT_EQ(PrintStates(), kCertificateStates);
    EXPECT_TRUE(dialogs_->messages.empty());
}

TEST_F(MainWindow, ErrorInsideACommandIsShownAndTheWindowGoesOn) {
    // The listing's place is taken by a folder: writing it fails.
    const auto crl = Copy("crl-full.crl", "list.crl");
    std::filesystem::create_directory(crl.string() + ".csv");
    // A folder named like a certificate cannot be read: the view ends as for
    // any file that does not load, the error box names the failed read.
    const auto folder = folder_ / "x.cer";
    std::filesystem::create_directory(folder);
    dialogs_->openAnswers = {crl, folder, DataFile("ee-256.cer")};
    Trigger("crl1");
    ASSERT_EQ(dialogs_->ErrorTexts().size(), 1u);
    EXPECT_FALSE(dialogs_->ErrorTexts()[0].empty());
    EXPECT_EQ(ViewLines().size(), 2u);  // no "saved" line
    Trigger("MCert");
    EXPECT_EQ(ViewLines(), (Lines{folder.string(), "Файл не поддерживается"}));
    ASSERT_EQ(dialogs_->ErrorTexts().size(), 2u);
    EXPECT_EQ(dialogs_->ErrorTexts()[1],
              "Не удается прочитать файл \"" + folder.string() + "\". Это папка, а не файл.");
    Trigger("MCert");
    EXPECT_EQ(window_->CurrentRecord()->Kind, "CERT");
}

TEST_F(MainWindow, InventoryWithAnEmptyPackageDatabase) {
    window_->SetInventorySources({folder_, folder_ / "apmgr"});
    window_->LoadFromFile(DataFile("ee-256.cer"));
    Trigger("skziInfo");
    const Lines lines = ViewLines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 6),
              (Lines{"ПО КриптоПро:", "СКЗИ «КриптоПро CSP» версии ", "",
                     "ПО Кода Безопасности:", "", "Прочее:"}));
    EXPECT_TRUE(lines[6].starts_with("Криптопровайдер программы Velmora")) << lines[6];
    EXPECT_TRUE(lines[7].starts_with("OpenSSL (версия 3.")) << lines[7];
    EXPECT_TRUE(lines[8].starts_with("Модуль ГОСТ для OpenSSL")) << lines[8];
    // Every line is regular text of size 12.
    for (QTextBlock block = window_->Rep()->document()->begin(); block.isValid();
         block = block.next()) {
        const QTextCharFormat format =
            block.text().isEmpty() ? block.charFormat() : block.begin().fragment().charFormat();
        EXPECT_EQ(format.fontPointSize(), 12) << block.text().toStdString();
        EXPECT_NE(format.fontWeight(), QFont::Bold) << block.text().toStdString();
    }
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
    Lines shown;
    app->SetErrorHandler([&shown](const std::string& message) { shown.push_back(message); });
    FailingObject object;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &event));
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    app->SetErrorHandler(nullptr);
    EXPECT_EQ(shown, (Lines{"Сбой обработчика", "Сбой обработчика"}));
}

}  // namespace
}  // namespace velmora
