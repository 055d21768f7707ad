// The batch signing window and the main window's signing commands on Qt's
// offscreen platform: the controls and their captions, the window shown by
// every signing item, a signing pass through the buttons, and the two
// verification commands and the certificate check through their dialogs.
#include "ui/signing/sign_window.h"
#include "app/qt/main_window.h"
#include "support/scripted_dialogs.h"
#include "support/signing_keys.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::ScopedSigningFolders;
using testing::ScriptedDialogs;
using testing::SigningData;

class SignWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs_ = dialogs.get();
        window_ = std::make_unique<TFVelmora>(folders_.Root(), std::move(dialogs));
        sign_ = window_->SignWindow();
    }

    std::vector<std::string> ViewLines() const {
        std::vector<std::string> lines;
        for (QTextBlock block = window_->Rep()->document()->begin(); block.isValid();
             block = block.next()) {
            lines.push_back(block.text().toStdString());
        }
        return lines;
    }
    QPushButton* Button(const char* name) const {
        auto* button = sign_->findChild<QPushButton*>(QString::fromUtf8(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }

    ScopedSigningFolders folders_;
    ScriptedDialogs* dialogs_ = nullptr;
    std::unique_ptr<TFVelmora> window_;
    TFSign* sign_ = nullptr;
};

TEST_F(SignWindow, ControlsAndTheItemsThatShowIt) {
    EXPECT_EQ(sign_->windowTitle(), "FSign");
    EXPECT_FALSE(sign_->isVisible());
    const std::pair<const char*, const char*> buttons[] = {
        {"addF", "Добавить"},       {"clear", "очистить"},    {"bprovsign", "Проверить"},
        {"BsignFile", "подписать"}, {"Bcosign", "Соподпись"}, {"BLoadCert", "Загрузить"}};
    for (const auto& [name, caption] : buttons) {
        ASSERT_NE(Button(name), nullptr);
        EXPECT_EQ(Button(name)->text().toStdString(), caption);
    }
    EXPECT_EQ(sign_->cb_detach_sign()->text().toStdString(), "Отсоеденённая подпись");
    EXPECT_EQ(sign_->Certselect()->checkedId(), -1);
    ASSERT_EQ(sign_->Certselect()->buttons().size(), 3);
    EXPECT_EQ(sign_->Certselect()->button(0)->text().toStdString(), "установленный в \"личные\"");
    EXPECT_FALSE(sign_->SB_CERT()->isEnabled());
    const QTableWidget* table = sign_->SPS_FILES();
    ASSERT_EQ(table->columnCount(), 5);
    EXPECT_EQ(table->horizontalHeaderItem(3)->text().toStdString(), "отс. подпись ");

    for (const char* item : {"BsignFile", "BaddSign", "N6", "N9"}) {
        sign_->hide();
        QAction* action = window_->MenuItem(item);
        ASSERT_TRUE(action != nullptr && action->isEnabled()) << item;
        action->trigger();
        EXPECT_TRUE(sign_->isVisible()) << item;
        EXPECT_FALSE(sign_->isModal());
    }
    // "Загрузить" with no source chosen does nothing.
    Button("BLoadCert")->click();
    EXPECT_TRUE(dialogs_->messages.empty());

    // Restoring the minimised window keeps its files; showing it again
    // resets them.
    const auto first_file = [this] {
        const QTableWidgetItem* item = sign_->SPS_FILES()->item(0, 1);
        return item != nullptr ? item->text().toStdString() : std::string();
    };
    sign_->ShowWithFiles({folders_.Root() / "a.txt"});
    ASSERT_EQ(first_file(), (folders_.Root() / "a.txt").string());
    sign_->setWindowState(Qt::WindowMinimized);
    sign_->setWindowState(Qt::WindowNoState);
    EXPECT_EQ(first_file(), (folders_.Root() / "a.txt").string());
    sign_->hide();
    sign_->show();
    EXPECT_EQ(first_file(), "");
}

TEST_F(SignWindow, SigningPassThroughTheButtonsAndVerificationCommands) {
    const fs::path data = folders_.Root() / "отчёт.txt";
    fs::copy_file(SigningData() / "data.txt", data);
    fs::path signature = data;
    signature += ".sig";
    const auto signer = folders_.Signer("signer-256");
    window_->MenuItem("BsignFile")->trigger();

    // The certificate from a file, bound to its container.
    sign_->Certselect()->button(2)->click();
    dialogs_->openAnswers.push_back(SigningData() / "signer-256.cer");
    dialogs_->containerAnswers.push_back(ContainerChoice{signer->KeyProv()->providerType,
                                                         signer->KeyProv()->providerName,
                                                         signer->KeyProv()->containerName});
    Button("BLoadCert")->click();
    EXPECT_TRUE(sign_->SB_CERT()->isEnabled());

    dialogs_->openManyAnswers.push_back({data});
    Button("addF")->click();
    sign_->cb_detach_sign()->setChecked(true);
    Button("BsignFile")->click();
    EXPECT_EQ(sign_->SPS_FILES()->item(0, 3)->text().toStdString(), "Да");
    EXPECT_EQ(sign_->SPS_FILES()->item(0, 4)->text().toStdString(), "Да");
    EXPECT_EQ(ViewLines().back(), "Файл подписан. Сохранён в " + signature.string());

    // "Проверить" (detached) in the main window: data file, then signature.
    dialogs_->openAnswers.push_back(data);
    dialogs_->openAnswers.push_back(signature);
    window_->MenuItem("N8")->trigger();
    EXPECT_EQ(dialogs_->presets.back(), signature);
    const auto lines = ViewLines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "Подписей - 1");
    EXPECT_EQ(lines[2], "Подпись [1] верна:");

    // "Проверить" (attached), cancelled at the second dialog: nothing more.
    dialogs_->openAnswers.push_back(signature);
    dialogs_->saveAnswers.push_back(std::nullopt);
    window_->MenuItem("verifySign")->trigger();
    EXPECT_EQ(dialogs_->saveRequests.back().proposedName, "отчёт.txt");
    EXPECT_EQ(ViewLines(), std::vector<std::string>{""});

    // "Проверить сертификат" with no chain in the stores.
    dialogs_->openAnswers.push_back(SigningData() / "signer-256.cer");
    window_->MenuItem("BcertValid")->trigger();
    EXPECT_EQ(dialogs_->openFilterIndexes.back(), 2);
    EXPECT_EQ(ViewLines().back(), "No information status reported.");

    // Closing frees the certificate and disables its button.
    sign_->close();
    EXPECT_FALSE(sign_->SB_CERT()->isEnabled());
    EXPECT_FALSE(sign_->Model().Certificate());
}

}  // namespace
}  // namespace velmora
