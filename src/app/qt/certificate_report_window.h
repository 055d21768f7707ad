// A certificate's full report in a small window of its own, for the
// selection dialog's view button.
#pragma once

#include "crypto/platform/certs/cert_context.h"

#include <memory>

class QDialog;
class QWidget;

namespace velmora {

// The window over the parent with the certificate's report written in it,
// not yet shown; nullptr when the report could not be made (the error box
// has then been shown).
std::unique_ptr<QDialog> CreateCertificateReportWindow(QWidget* parent,
                                                       const platform::CertContext& certificate);

// Shows the report modally over the parent; returns when it is closed.
void ShowCertificateReportWindow(QWidget* parent, const platform::CertContext& certificate);

}  // namespace velmora
