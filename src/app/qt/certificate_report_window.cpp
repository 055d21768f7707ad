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

void ShowCertificateReportWindow(QWidget* parent, const platform::CertContext& certificate) {
    QDialog window(parent);
    window.setObjectName(QStringLiteral("CertificateReport"));
    window.setWindowTitle(QStringLiteral("Сертификат"));
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QTextEdit(&window);
    edit->setObjectName(QStringLiteral("report"));
    edit->setReadOnly(true);
    edit->setFont(QFont(QStringLiteral("Arial Cyr"), 10));
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    layout->addWidget(buttons);

    QtReportView view(edit);
    QtDialogs dialogs(&window);
    TRCstruct record;
    try {
        if (DecodeCertificate(record, certificate, &dialogs)) {
            BuildReport(record, view);
        }
    } catch (const std::exception& error) {
        ShowErrorBox(dialogs, error.what());
        return;
    }
    view.ScrollToTop();
    window.resize(640, 520);
    window.exec();
}

}  // namespace velmora
