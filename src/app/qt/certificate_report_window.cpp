#include "app/qt/certificate_report_window.h"

#include "app/qt/qt_dialogs.h"
#include "app/qt/qt_report_view.h"
#include "report/build/build_report.h"
#include "report/record/decode_record.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QTextEdit>
#include <QVBoxLayout>

#include <exception>

namespace velmora {

std::unique_ptr<QDialog> CreateCertificateReportWindow(QWidget* parent,
                                                       const platform::CertContext& certificate) {
    auto window = std::make_unique<QDialog>(parent);
    window->setObjectName(QStringLiteral("CertificateReport"));
    window->setWindowTitle(QStringLiteral("Сертификат"));
    auto* layout = new QVBoxLayout(window.get());
    auto* edit = new QTextEdit(window.get());
    edit->setObjectName(QStringLiteral("report"));
    edit->setReadOnly(true);
    edit->setFont(QFont(QStringLiteral("Arial Cyr"), 10));
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window.get());
    QObject::connect(buttons, &QDialogButtonBox::rejected, window.get(), &QDialog::reject);
    layout->addWidget(buttons);

    QtReportView view(edit);
    QtDialogs dialogs(parent);
    TRCstruct record;
    try {
        if (DecodeCertificate(record, certificate, &dialogs)) {
            BuildReport(record, view);
        }
    } catch (const std::exception& error) {
        ShowErrorBox(dialogs, error.what());
        return nullptr;
    }
    view.ScrollToTop();
    window->resize(640, 520);
    return window;
}

void ShowCertificateReportWindow(QWidget* parent, const platform::CertContext& certificate) {
    if (const auto window = CreateCertificateReportWindow(parent, certificate)) {
        window->exec();
    }
}

}  // namespace velmora
