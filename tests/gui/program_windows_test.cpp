// The program's windows made together at start: the main window's
// "Контейнера" shows the container manager, a command's container choice
// shows it modally, and the provider's and stores' hooks are the program's
// dialogs.
#include "app/qt/program_windows.h"

#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "support/key_folder.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace velmora {
namespace {

TEST(ProgramWindows, ContainerManagerIsShownAndAnswersTheContainerChoice) {
    velmora::testing::ScopedKeyFolder folder;
    {
        platform::CryptProvider context;
        ASSERT_TRUE(platform::AcquireContext(context, "для выбора", platform::kCryptoPro2001Name,
                                             75, platform::kCryptNewKeyset));
        ASSERT_TRUE(platform::GenKey(context, platform::kAtKeyExchange, 0));
    }
    ProgramWindows windows({});
    EXPECT_NE(platform::CurrentPasswordPrompt(), nullptr);
    EXPECT_NE(platform::CurrentCertificateSelector(), nullptr);

    windows.Main().MenuItem("cont")->trigger();
    EXPECT_TRUE(windows.Containers().isVisible());
    EXPECT_FALSE(windows.Containers().isModal());
    windows.Containers().close();

    // Chooses the first container in the manager once it is shown modally.
    const auto choose_first = [&windows] {
        TFcont& manager = windows.Containers();
        manager.findChild<QPushButton*>("BSearch")->click();
        manager.SGspscont()->setCurrentCell(0, 0);
        manager.findChild<QPushButton*>("select_cont")->click();
    };
    QTimer::singleShot(0, choose_first);
    const auto choice = windows.Main().WindowDialogs().ChooseContainer();
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->containerName, "для выбора");
    EXPECT_EQ(choice->providerName, platform::kCryptoPro2001Name);
    EXPECT_FALSE(windows.Containers().isVisible());

    // The request builder's "Обзор" takes its container name from the same
    // choice.
    QTimer::singleShot(0, choose_first);
    windows.Request().Button("browse_cont")->click();
    EXPECT_EQ(windows.Request().Edit("ContName")->text().toStdString(), "для выбора");
}

}  // namespace
}  // namespace velmora
