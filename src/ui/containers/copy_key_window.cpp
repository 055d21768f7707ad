#include "ui/containers/copy_key_window.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace velmora {

TFCopyKEP::TFCopyKEP(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FCopyKEP"));
    setWindowTitle(QStringLiteral("Копирование ключа ЭП"));
    setModal(true);

    label_ = new QLabel(
        QStringLiteral("Введите имя контейнера(не должно совпадать с существующим)"), this);
    label_->setObjectName(QStringLiteral("Label1"));
    // As wide as the label needs in the system's font.
    const int inner = std::max(396, label_->sizeHint().width());
    setFixedSize(inner + 24, 122);
    label_->setGeometry(12, 10, inner, 18);
    enewname_ = new QLineEdit(this);
    enewname_->setObjectName(QStringLiteral("Enewname"));
    enewname_->setGeometry(12, 32, inner, 24);
    cb_cop_cert_ = new QCheckBox(QStringLiteral("копировать сертификат"), this);
    cb_cop_cert_->setObjectName(QStringLiteral("CB_cop_cert"));
    cb_cop_cert_->setGeometry(12, 62, 250, 20);
    bok_ = new QPushButton(QStringLiteral("ОК"), this);
    bok_->setObjectName(QStringLiteral("BOK"));
    bok_->setGeometry(inner + 12 - 172, 88, 84, 26);
    bok_->setDefault(true);
    bcancel_ = new QPushButton(QStringLiteral("отмена"), this);
    bcancel_->setObjectName(QStringLiteral("Bcancel"));
    bcancel_->setGeometry(inner + 12 - 84, 88, 84, 26);
    connect(bok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(bcancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TFCopyKEP::showEvent(QShowEvent* event) {
    // Centred on the desktop, not over the window that opened it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

std::optional<CopyKeyAnswer> TFCopyKEP::AskCopy(const std::string& proposed_name) {
    enewname_->setText(QString::fromStdString(proposed_name));
    enewname_->selectAll();
    enewname_->setFocus();
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return CopyKeyAnswer{enewname_->text().toStdString(), cb_cop_cert_->isChecked()};
}

}  // namespace velmora
