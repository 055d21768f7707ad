#include "ui/dialogs/password_dialog.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace velmora {
namespace {

using platform::PasswordRequest;

TEST(PasswordDialog, NewPasswordNeedsTheSameTextTwiceAndLeavesOnlyAsSecret) {
    PasswordDialog dialog;
    dialog.Prepare({PasswordRequest::Kind::NewPassword, "Иванов 2026", 1});
    auto* password = dialog.findChild<QLineEdit*>("password");
    auto* confirm = dialog.findChild<QLineEdit*>("confirm");
    auto* ok = dialog.findChild<QPushButton*>("ok");
    ASSERT_TRUE(password && confirm && ok);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(confirm->isHidden());
    EXPECT_TRUE(dialog.findChild<QLabel*>("text")->text().contains("Иванов 2026"));

    password->setText("секрет");
    confirm->setText("секре");
    EXPECT_FALSE(ok->isEnabled());
    confirm->setText("секрет");
    EXPECT_TRUE(ok->isEnabled());
    const platform::Secret secret = dialog.TakePassword();
    EXPECT_EQ(secret.View(), "секрет");
    EXPECT_TRUE(password->text().isEmpty());
    EXPECT_TRUE(confirm->text().isEmpty());

    // Unlocking asks once, without confirmation, and says so after a wrong try.
    dialog.Prepare({PasswordRequest::Kind::Unlock, "c1", 2});
    EXPECT_TRUE(confirm->isHidden());
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(dialog.findChild<QLabel*>("text")->text().contains("неверен"));
    dialog.Prepare({PasswordRequest::Kind::KeyFile, "c2", 1});
    EXPECT_TRUE(confirm->isHidden());
    EXPECT_TRUE(dialog.findChild<QLabel*>("text")->text().contains("файла ключа"));
}

TEST(QtPasswordPrompt, CancelGivesNothingAndOkGivesTheText) {
    QWidget parent;
    QtPasswordPrompt prompt(&parent);
    const auto answer = [](bool accept) {
        QTimer::singleShot(0, [accept] {
            auto* dialog = qobject_cast<PasswordDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QLineEdit*>("password")->setText("p@ss");
            accept ? dialog->accept() : dialog->reject();
        });
    };
    answer(false);
    EXPECT_FALSE(prompt.AskPassword({PasswordRequest::Kind::Unlock, "c", 1}).has_value());
    answer(true);
    const auto secret = prompt.AskPassword({PasswordRequest::Kind::Unlock, "c", 1});
    ASSERT_TRUE(secret.has_value());
    EXPECT_EQ(secret->View(), "p@ss");
}

}  // namespace
}  // namespace velmora
