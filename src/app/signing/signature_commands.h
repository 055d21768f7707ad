// The main window's commands of signature and certificate checking, without
// the window: each asks its files through the dialogs and writes the lines of
// the check into the report view.
#pragma once

#include "report/view/dialogs.h"
#include "report/view/report_view.h"

#include <filesystem>

namespace velmora {

// "Проверить" (attached): the signature file, then the file the content is
// written to; the full check of every signer.
void VerifyAttachedSignatureCommand(ReportView& view, Dialogs& dialogs);

// "Проверить" (detached): the data file, then its signature file (proposed
// as the data file's name with ".sig"); the full check of every signer.
void VerifyDetachedSignatureCommand(ReportView& view, Dialogs& dialogs);

// "Проверить сертификат": a certificate file; its chain and revocation now.
void CheckCertificateCommand(ReportView& view, Dialogs& dialogs);

// A signature file named by the desktop: detached when its data file (its
// name without ".sig") is beside it, else attached without extracting the
// content.
void VerifySignatureFileCommand(ReportView& view, const std::filesystem::path& signature_file);

}  // namespace velmora
