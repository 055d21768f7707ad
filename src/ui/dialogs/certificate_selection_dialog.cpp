#include "ui/dialogs/certificate_selection_dialog.h"

#include "crypto/stores/certificate_summary.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {
namespace {

QString Text(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CertificateSelectionDialog::CertificateSelectionDialog(
    std::vector<platform::CertContext> certificates, CertificateReportShower show_report,
    QWidget* parent)
    : QDialog(parent),
      certificates_(std::move(certificates)),
      show_report_(std::move(show_report)) {
    setObjectName(QStringLiteral("CertificateSelection"));
    setWindowTitle(QStringLiteral("Выбор сертификата"));
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(QStringLiteral("Выберите сертификат:"), this);
    layout->addWidget(caption);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("certificates"));
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHeaderLabels({QStringLiteral("Кому выдан"), QStringLiteral("Кем выдан"),
                            QStringLiteral("Действителен по"), QStringLiteral("Отпечаток")});
    for (std::size_t i = 0; i < certificates_.size(); ++i) {
        const CertificateSummary summary = SummarizeCertificate(certificates_[i]);
        auto* item = new QTreeWidgetItem(list_, {Text(summary.subject), Text(summary.issuer),
                                                 Text(summary.validTo), Text(summary.thumbprint)});
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        item->setToolTip(0, Text(summary.subject));
        item->setToolTip(1, Text(summary.issuer));
    }
    // Names are cut at a readable width (the tooltip has them whole); the
    // date and the thumbprint are always shown whole.
    int width = 0;
    for (int column = 0; column < list_->columnCount(); ++column) {
        list_->resizeColumnToContents(column);
        if (column < 2) {
            list_->setColumnWidth(column, std::min(list_->columnWidth(column), 280));
        }
        width += list_->columnWidth(column);
    }
    list_->header()->setStretchLastSection(true);
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("ok"));
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    view_ =
        buttons->addButton(QStringLiteral("Просмотр сертификата"), QDialogButtonBox::ActionRole);
    view_->setObjectName(QStringLiteral("view"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(view_, &QPushButton::clicked, this, &CertificateSelectionDialog::ShowReport);
    connect(list_, &QTreeWidget::itemSelectionChanged, this,
            &CertificateSelectionDialog::UpdateButtons);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    if (list_->topLevelItemCount() > 0) {
        list_->setCurrentItem(list_->topLevelItem(0));
    }
    UpdateButtons();
    resize(std::min(width + 60, 1200), 340);
}

platform::CertContext CertificateSelectionDialog::Highlighted() const {
    const QTreeWidgetItem* item = list_->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return nullptr;
    }
    const auto index = item->data(0, Qt::UserRole).toULongLong();
    return index < certificates_.size() ? certificates_[index] : nullptr;
}

void CertificateSelectionDialog::UpdateButtons() {
    const bool any = Highlighted() != nullptr;
    ok_->setEnabled(any);
    view_->setEnabled(any && show_report_ != nullptr);
}

void CertificateSelectionDialog::ShowReport() {
    if (const platform::CertContext certificate = Highlighted(); certificate && show_report_) {
        show_report_(this, certificate);
    }
}

platform::CertContext QtCertificateSelector::SelectCertificate(
    const std::vector<platform::CertContext>& certificates) {
    CertificateSelectionDialog dialog(certificates, show_report_, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return nullptr;
    }
    return dialog.Highlighted();
}

}  // namespace velmora
