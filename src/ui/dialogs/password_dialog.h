// The window's password prompt: a small modal dialog that asks for a
// container's password, or for a new container's password twice. What is
// typed leaves the dialog only as a Secret, and the fields are cleared.
#pragma once

#include "crypto/platform/keys/password_prompt.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

class PasswordDialog : public QDialog {
    Q_OBJECT

  public:
    explicit PasswordDialog(QWidget* parent = nullptr);

    // Sets the texts for the request and empties the fields.
    void Prepare(const platform::PasswordRequest& request);
    // The typed password, taken out of the fields (which are emptied).
    platform::Secret TakePassword();

  private:
    void UpdateOk();

    QLabel* text_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLabel* confirm_label_ = nullptr;
    QLineEdit* confirm_ = nullptr;
    QLabel* mismatch_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool confirming_ = false;
};

// The prompt the program installs: shows the dialog over the parent window.
class QtPasswordPrompt : public platform::PasswordPrompt {
  public:
    explicit QtPasswordPrompt(QWidget* parent) : parent_(parent) {}
    std::optional<platform::Secret> AskPassword(const platform::PasswordRequest& request) override;

  private:
    QWidget* parent_;
};

}  // namespace velmora
