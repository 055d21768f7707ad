#include "ui/signing/sign_window.h"

#include "encoding/error.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace velmora {

TFSign::TFSign(ReportView& view, Dialogs& dialogs, std::unique_ptr<TRCstruct>& current_record,
               QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs) {
    setObjectName(QStringLiteral("FSign"));
    setWindowTitle(QStringLiteral("FSign"));

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("SPS_FILES"));
    ConfigureGridTable(table_, static_cast<int>(SignGridHeaders().size()));
    grid_ = std::make_unique<QtStringGrid>(table_);
    model_ = std::make_unique<BatchSigning>(*grid_, SigningTarget{view, dialogs, current_record});

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(AddButton("addF", "Добавить", &TFSign::addFClick));
    buttons->addWidget(AddButton("clear", "очистить", &TFSign::clearClick));
    buttons->addSpacing(12);
    buttons->addWidget(AddButton("bprovsign", "Проверить", &TFSign::bprovsignClick));
    buttons->addWidget(AddButton("BsignFile", "подписать", &TFSign::BsignFileClick));
    buttons->addWidget(AddButton("Bcosign", "Соподпись", &TFSign::BcosignClick));
    buttons->addStretch(1);

    source_box_ = new QGroupBox(QStringLiteral("Сертификат"), this);
    source_box_->setObjectName(QStringLiteral("Certselect"));
    source_ = new QButtonGroup(this);
    source_->setObjectName(QStringLiteral("Certselect"));
    source_->setExclusive(true);
    auto* source_layout = new QVBoxLayout(source_box_);
    const char* const items[] = {"установленный в \"личные\"", "в контейнере", "в файле"};
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(QString::fromUtf8(items[i]), source_box_);
        source_->addButton(item, i);
        source_layout->addWidget(item);
    }

    detached_ = new QCheckBox(QStringLiteral("Отсоеденённая подпись"), this);
    detached_->setObjectName(QStringLiteral("cb_detach_sign"));

    show_certificate_ = new QToolButton(this);
    show_certificate_->setObjectName(QStringLiteral("SB_CERT"));
    show_certificate_->setIcon(style()->standardIcon(QStyle::SP_FileDialogInfoView));
    show_certificate_->setIconSize(QSize(24, 24));
    show_certificate_->setToolTip(QStringLiteral("Показать сертификат"));
    show_certificate_->setEnabled(false);
    connect(show_certificate_, &QToolButton::clicked, this, [this] { Run(&TFSign::SB_CERTClick); });

    auto* certificate_row = new QHBoxLayout;
    certificate_row->addWidget(AddButton("BLoadCert", "Загрузить", &TFSign::BLoadCertClick));
    certificate_row->addWidget(show_certificate_);
    certificate_row->addStretch(1);

    auto* side = new QVBoxLayout;
    side->addWidget(source_box_);
    side->addWidget(detached_);
    side->addLayout(certificate_row);
    side->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    layout->addLayout(side);
    resize(1000, 380);
    model_->ResetGrid();
}

TFSign::~TFSign() = default;

QPushButton* TFSign::AddButton(const char* name, const char* caption, void (TFSign::*handler)()) {
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, handler] { Run(handler); });
    return button;
}

// An error a command raises is shown in the error box, and the window goes on.
void TFSign::Run(void (TFSign::*handler)()) {
    try {
        (this->*handler)();
    } catch (const Error& e) {
        ShowErrorBox(dialogs_, e.what());
    } catch (const std::exception& e) {
        ShowErrorBox(dialogs_, e.what());
    }
}

void TFSign::ShowWithFiles(const std::vector<std::filesystem::path>& files,
                           platform::CertContext certificate) {
    show();
    raise();
    activateWindow();
    if (certificate) {
        model_->SetCertificate(std::move(certificate));
        show_certificate_->setEnabled(true);
    }
    model_->AddFileNames(files);
}

void TFSign::addFClick() {
    model_->AddFiles();
}

void TFSign::clearClick() {
    model_->ResetGrid();
}

void TFSign::bprovsignClick() {
    model_->VerifyAll();
}

void TFSign::BsignFileClick() {
    model_->SignAll(detached_->isChecked());
}

void TFSign::BcosignClick() {
    model_->CoSignAll();
}

void TFSign::BLoadCertClick() {
    const auto source = static_cast<CertificateSource>(source_->checkedId());
    if (source == CertificateSource::None) {
        return;
    }
    show_certificate_->setEnabled(model_->LoadCertificate(source));
}

void TFSign::SB_CERTClick() {
    model_->ShowCertificate();
}

void TFSign::showEvent(QShowEvent* event) {
    // The window system's own show events (a minimised window restored) are
    // no new showing: the list stays.
    if (!event->spontaneous()) {
        model_->ResetGrid();
    }
    QWidget::showEvent(event);
}

void TFSign::closeEvent(QCloseEvent* event) {
    model_->Close();
    show_certificate_->setEnabled(false);
    QWidget::closeEvent(event);
}

}  // namespace velmora
