#include "ui/dialogs/password_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {
namespace {

// Overwrites a QString's characters before it is let go.
void Wipe(QString& text) {
    text.fill(QChar(u'\0'));
    text.clear();
}

}  // namespace

PasswordDialog::PasswordDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PasswordDialog"));
    setWindowTitle(QStringLiteral("Пароль контейнера"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("text"));
    text_->setWordWrap(true);
    layout->addWidget(text_);

    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("password"));
    password_->setEchoMode(QLineEdit::Password);
    layout->addWidget(password_);

    confirm_label_ = new QLabel(QStringLiteral("Повторите пароль:"), this);
    layout->addWidget(confirm_label_);
    confirm_ = new QLineEdit(this);
    confirm_->setObjectName(QStringLiteral("confirm"));
    confirm_->setEchoMode(QLineEdit::Password);
    layout->addWidget(confirm_);

    mismatch_ = new QLabel(QStringLiteral("Пароли не совпадают"), this);
    mismatch_->setObjectName(QStringLiteral("mismatch"));
    layout->addWidget(mismatch_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("ok"));
    ok_->setText(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(password_, &QLineEdit::textChanged, this, &PasswordDialog::UpdateOk);
    connect(confirm_, &QLineEdit::textChanged, this, &PasswordDialog::UpdateOk);
    setMinimumWidth(360);
}

void PasswordDialog::Prepare(const platform::PasswordRequest& request) {
    const QString name = QString::fromStdString(request.containerName);
    const bool is_new = request.kind == platform::PasswordRequest::Kind::NewPassword;
    QString text;
    if (request.kind == platform::PasswordRequest::Kind::KeyFile) {
        text = QStringLiteral("Введите пароль файла ключа, который переносится в контейнер «%1»:")
                   .arg(name);
        if (request.attempt > 1) {
            text = QStringLiteral("Пароль неверен (попытка %1). ").arg(request.attempt) + text;
        }
    } else if (is_new) {
        text = QStringLiteral(
                   "Задайте пароль для нового контейнера «%1». Пустой пароль оставит "
                   "контейнер без защиты.")
                   .arg(name);
    } else if (request.attempt > 1) {
        text = QStringLiteral("Пароль неверен. Введите пароль контейнера «%1» (попытка %2):")
                   .arg(name)
                   .arg(request.attempt);
    } else {
        text = QStringLiteral("Введите пароль контейнера «%1»:").arg(name);
    }
    text_->setText(text);
    password_->clear();
    confirm_->clear();
    confirming_ = is_new;
    confirm_label_->setVisible(is_new);
    confirm_->setVisible(is_new);
    password_->setFocus();
    UpdateOk();
}

void PasswordDialog::UpdateOk() {
    const bool differ = confirming_ && password_->text() != confirm_->text();
    mismatch_->setVisible(differ && !confirm_->text().isEmpty());
    ok_->setEnabled(!differ);
}

platform::Secret PasswordDialog::TakePassword() {
    QString text = password_->text();
    QByteArray bytes = text.toUtf8();
    platform::Secret secret(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    platform::WipeMemory(bytes.data(), static_cast<size_t>(bytes.size()));
    Wipe(text);
    password_->clear();
    confirm_->clear();
    return secret;
}

std::optional<platform::Secret> QtPasswordPrompt::AskPassword(
    const platform::PasswordRequest& request) {
    PasswordDialog dialog(parent_);
    dialog.Prepare(request);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.TakePassword();
}

}  // namespace velmora
