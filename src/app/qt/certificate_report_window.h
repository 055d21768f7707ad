// A certificate's full report in a small window of its own, for the
// selection dialog's view button.
#pragma once

#include "crypto/platform/certs/cert_context.h"

class QWidget;

namespace velmora {

// Shows the report modally over the parent; returns when it is closed.
void ShowCertificateReportWindow(QWidget* parent, const platform::CertContext& certificate);

}  // namespace velmora
