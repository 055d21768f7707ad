// The certificate selection dialog: a list of certificates (subject, issuer,
// valid to, thumbprint) with OK, Cancel and a button that shows the full
// report of the highlighted one; and the selector that the program installs
// so that every store command chooses through it.
#pragma once

#include "crypto/platform/stores/cert_selector.h"

#include <QDialog>

#include <functional>
#include <vector>

class QPushButton;
class QTreeWidget;

namespace velmora {

// Shows a certificate's report in a window of its own over the parent.
using CertificateReportShower =
    std::function<void(QWidget* parent, const platform::CertContext& certificate)>;

class CertificateSelectionDialog : public QDialog {
    Q_OBJECT

  public:
    CertificateSelectionDialog(std::vector<platform::CertContext> certificates,
                               CertificateReportShower show_report, QWidget* parent = nullptr);

    // The highlighted certificate; nullptr when none is.
    platform::CertContext Highlighted() const;

  private:
    void UpdateButtons();
    void ShowReport();

    std::vector<platform::CertContext> certificates_;
    CertificateReportShower show_report_;
    QTreeWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* view_ = nullptr;
};

// The selector of the window program: the dialog above, modal over the parent.
class QtCertificateSelector : public platform::CertificateSelector {
  public:
    QtCertificateSelector(QWidget* parent, CertificateReportShower show_report)
        : parent_(parent), show_report_(std::move(show_report)) {}

    platform::CertContext SelectCertificate(
        const std::vector<platform::CertContext>& certificates) override;

  private:
    QWidget* parent_;
    CertificateReportShower show_report_;
};

}  // namespace velmora
