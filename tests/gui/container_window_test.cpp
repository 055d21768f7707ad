// The container manager window on the offscreen platform: its controls,
// button states, the modal choice and the key-copy dialog.
#include "ui/containers/container_window.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "report/view/recording_view.h"
#include "support/key_folder.h"
#include "support/scripted_dialogs.h"
#include "ui/containers/copy_key_window.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace velmora {
namespace {

void NewContainer(const std::string& name) {
    platform::CryptProvider context;
    ASSERT_TRUE(platform::AcquireContext(context, name, platform::kCryptoPro2001Name, 75,
                                         platform::kCryptNewKeyset));
    ASSERT_TRUE(platform::GenKey(context, platform::kAtKeyExchange, platform::kCryptExportable));
}

class ContainerWindowTest : public ::testing::Test {
  protected:
    QPushButton* Button(const char* name) {
        return window_.findChild<QPushButton*>(QString::fromUtf8(name));
    }

    velmora::testing::ScopedKeyFolder folder_;
    velmora::testing::ScriptedDialogs dialogs_;
    RecordingView view_;
    std::unique_ptr<TRCstruct> record_;
    TFCopyKEP copy_;
    TFcont window_{view_, dialogs_, record_, copy_};
};

TEST_F(ContainerWindowTest, ControlsCaptionsAndButtonStates) {
    EXPECT_EQ(window_.windowTitle().toStdString(), "Контейнера");
    EXPECT_EQ(window_.size(), QSize(698, 431));
    const std::pair<const char*, const char*> buttons[] = {
        {"SearchCSP", "Обновить"},  {"BSearch", "Найти"},       {"BaddCert", "Добавить"},
        {"exp_cert", "Экспорт"},    {"showPK", "Показать"},     {"BdelCont", "удалить"},
        {"BCopyKey", "копировать"}, {"select_cont", "Выбрать"}, {"Bclose", "Закрыть"}};
    for (const auto& [name, caption] : buttons) {
        ASSERT_NE(Button(name), nullptr) << name;
        EXPECT_EQ(Button(name)->text().toStdString(), caption);
    }
    for (const auto& [name, caption] :
         {std::pair{"Label2", "Доступные CSP"}, std::pair{"Label1", "Контейнеры"},
          std::pair{"Label3", "сертификат:"}}) {
        EXPECT_EQ(window_.findChild<QLabel*>(name)->text().toStdString(), caption);
    }
    EXPECT_EQ(window_.SGspscont()->columnWidth(2), 165);

    window_.show();
    QTRY_VERIFY(window_.isVisible());
    EXPECT_GE(window_.spsCSP()->count(), 2);
    EXPECT_EQ(window_.spsCSP()->currentItem()->text().toStdString(),
              "[75] Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider");
    EXPECT_TRUE(Button("BSearch")->isEnabled());
    EXPECT_FALSE(Button("showPK")->isEnabled());
    EXPECT_FALSE(Button("exp_cert")->isEnabled());

    NewContainer("первый");
    NewContainer("второй");
    QTest::mouseClick(Button("BSearch"), Qt::LeftButton);
    EXPECT_EQ(window_.SGspscont()->rowCount(), 2);
    EXPECT_TRUE(window_.SGspscont()->isEnabled());
    EXPECT_EQ(window_.SGspscont()->horizontalHeaderItem(3)->text().toStdString(), "Серт. в конт.");
    for (const char* name : {"showPK", "select_cont", "BaddCert", "BdelCont", "BCopyKey"}) {
        EXPECT_TRUE(Button(name)->isEnabled()) << name;
    }
    // Picking a row whose container holds no certificate turns "Экспорт" off.
    window_.SGspscont()->setCurrentCell(1, 0);
    EXPECT_FALSE(Button("exp_cert")->isEnabled());
    EXPECT_EQ(window_.findChild<QLabel*>("SB_info_panel")->text().toStdString(), "");

    // A double click copies the whole provider list.
    emit window_.spsCSP()->itemDoubleClicked(window_.spsCSP()->item(0));
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("[75] Crypto-Pro"));
}

TEST_F(ContainerWindowTest, ModalShowingReturnsTheChoiceOnlyThroughSelect) {
    NewContainer("выбранный");
    const auto press = [this](const char* button) {
        QTimer::singleShot(0, [this, button] {
            QTest::mouseClick(Button("BSearch"), Qt::LeftButton);
            window_.SGspscont()->setCurrentCell(0, 0);
            QTest::mouseClick(Button(button), Qt::LeftButton);
        });
    };
    press("Bclose");
    EXPECT_FALSE(window_.ChooseContainer().has_value());
    press("select_cont");
    const auto choice = window_.ChooseContainer();
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->containerName, "выбранный");
    EXPECT_EQ(choice->providerType, 75u);
    EXPECT_EQ(window_.Manager().ChosenContainerName(), "выбранный");

    // Shown on its own, "Выбрать" keeps the window open.
    window_.show();
    QTest::mouseClick(Button("BSearch"), Qt::LeftButton);
    QTest::mouseClick(Button("select_cont"), Qt::LeftButton);
    EXPECT_TRUE(window_.isVisible());
}

TEST_F(ContainerWindowTest, CopyDialogProposesTheNameAndKeepsTheCheckBox) {
    EXPECT_EQ(copy_.windowTitle().toStdString(), "Копирование ключа ЭП");
    EXPECT_EQ(copy_.findChild<QPushButton*>("BOK")->text().toStdString(), "ОК");
    EXPECT_EQ(copy_.findChild<QPushButton*>("Bcancel")->text().toStdString(), "отмена");
    EXPECT_EQ(copy_.CB_cop_cert()->text().toStdString(), "копировать сертификат");

    QTimer::singleShot(0, [this] {
        EXPECT_EQ(copy_.Enewname()->text().toStdString(), "имя - Копия");
        copy_.Enewname()->setText("новое");
        copy_.CB_cop_cert()->setChecked(true);
        QTest::mouseClick(copy_.findChild<QPushButton*>("BOK"), Qt::LeftButton);
    });
    const auto answer = copy_.AskCopy("имя - Копия");
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->newName, "новое");
    EXPECT_TRUE(answer->copyCertificate);

    QTimer::singleShot(0, [this] {
        EXPECT_TRUE(copy_.CB_cop_cert()->isChecked());
        QTest::mouseClick(copy_.findChild<QPushButton*>("Bcancel"), Qt::LeftButton);
    });
    EXPECT_FALSE(copy_.AskCopy("другое").has_value());
}

}  // namespace
}  // namespace velmora
