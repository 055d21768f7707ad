#include "app/commands/store_commands.h"

#include "app/input/file_loader.h"
#include "app/input/open_filters.h"
#include "crypto/platform/system/system_info.h"
#include "crypto/stores/store_operations.h"
#include "encoding/pem.h"
#include "report/build/build_report.h"
#include "report/record/decode_record.h"

#include <string>
#include <vector>

namespace velmora {
namespace {

using platform::CertContext;

void Line(WindowState& window, std::string_view text) {
    AddReportLine(window.view, text, kBlack, FontStyle::Regular, 12);
}

// A certificate taken from a store or a bundle becomes the current record
// and its report; the print items keep their states.
void ShowCertificate(WindowState& window, const CertContext& certificate) {
    window.currentRecord = std::make_unique<TRCstruct>();
    if (DecodeCertificate(*window.currentRecord, certificate, &window.dialogs)) {
        BuildReport(*window.currentRecord, window.view);
    }
}

// Saves the certificate's DER to a file chosen in the save dialog, which
// starts where it was left; "Действие отменено" when it is cancelled.
void SaveCertificate(WindowState& window, const CertContext& certificate) {
    const auto file = window.dialogs.ChooseSaveFile({}, {});
    if (!file) {
        Line(window, kActionCancelled);
        return;
    }
    // Saying the certificate was exported when the file could not be
    // written would hide the failure.
    if (!WriteBufferToFile(certificate->Encoded(), *file)) {
        ShowErrorBox(window.dialogs, "Не удалось создать файл - " + file->string());
        return;
    }
    Line(window, kExportedTo + file->string());
}

}  // namespace

std::optional<std::string_view> StoreOfMenuItem(std::string_view item_name) {
    if (item_name == "BCA_Add" || item_name == "Bopenca" || item_name == "BDelCACert") {
        return kCaStore;
    }
    if (item_name == "BaddCertRoot" || item_name == "BopenCertRoot" ||
        item_name == "BDelCertRoot") {
        return kRootStore;
    }
    return std::nullopt;
}

void AddMyCertificate(WindowState& window) {
    window.view.Clear();
    const auto file = window.dialogs.ChooseOpenFile(open_filter::kCertificates);
    if (!file) {
        return;
    }
    CertContext certificate = LoadCertificateFile(*file);
    if (!certificate) {
        return;
    }
    const auto container = window.dialogs.ChooseContainer();
    if (!container) {
        return;
    }
    if (!CertificateMatchesContainer(certificate, container->providerName, container->providerType,
                                     container->containerName)) {
        Line(window, kKeyMismatch);
        return;
    }
    if (!BindCertificateToContainer(window.dialogs, certificate, container->providerName,
                                    container->providerType, container->containerName)) {
        return;
    }
    if (!AddToPersonal(certificate)) {
        // A store that refused the certificate must not pass for silence.
        Line(window, std::string(kListErrorPrefix) + platform::LastErrorText());
        return;
    }
    Line(window, kCertificateAdded);
}

void DeleteMyCertificate(WindowState& window) {
    window.view.Clear();
    if (DeletePersonalCertificate(window.dialogs)) {
        Line(window, kCertificateDeleted);
    } else {
        Line(window, std::string(kListErrorPrefix) + platform::LastErrorText());
    }
}

void ShowMyCertificate(WindowState& window) {
    window.view.Clear();
    if (const CertContext certificate = SelectPersonalCertificate(window.dialogs)) {
        ShowCertificate(window, certificate);
    }
}

void ExportMyCertificate(WindowState& window) {
    window.view.Clear();
    const CertContext certificate = SelectPersonalCertificate(window.dialogs);
    if (!certificate) {
        Line(window, kActionCancelled);
        return;
    }
    SaveCertificate(window, certificate);
}

void AddStoreCertificate(WindowState& window, std::string_view item_name) {
    window.view.Clear();
    const auto store = StoreOfMenuItem(item_name);
    if (!store) {
        return;
    }
    const auto file = window.dialogs.ChooseOpenFile(open_filter::kCertificates);
    if (!file) {
        return;
    }
    CertContext certificate = LoadCertificateFile(*file);
    if (!certificate) {
        // There is nothing to add: say so rather than report a store error.
        Line(window, kUnsupportedFile);
        return;
    }
    std::vector<std::string> messages;
    if (AddToStore(std::move(certificate), AdminStoreLocation(), *store, messages)) {
        Line(window, kCertificateAdded);
        return;
    }
    AddReportLines(window.view, messages, kBlack, FontStyle::Regular, 12);
}

void ShowStoreCertificate(WindowState& window, std::string_view item_name) {
    window.view.Clear();
    const auto store = StoreOfMenuItem(item_name);
    if (!store) {
        return;
    }
    if (const CertContext certificate =
            SelectStoreCertificate(window.dialogs, AdminStoreLocation(), *store)) {
        ShowCertificate(window, certificate);
    }
}

void DeleteStoreCertificateCommand(WindowState& window, std::string_view item_name) {
    window.view.Clear();
    const auto store = StoreOfMenuItem(item_name);
    if (!store) {
        return;
    }
    const bool deleted = DeleteStoreCertificate(window.dialogs, AdminStoreLocation(), *store);
    Line(window, deleted ? kCertificateDeleted : kCertificateNotDeleted);
}

void OpenP7bCertificate(WindowState& window) {
    window.view.Clear();
    const auto file = window.dialogs.ChooseOpenFile(open_filter::kP7b);
    if (!file) {
        return;
    }
    window.view.Clear();
    if (const CertContext certificate = SelectFileStoreCertificate(window.dialogs, *file)) {
        ShowCertificate(window, certificate);
    }
}

void ExportP7bCertificate(WindowState& window) {
    window.view.Clear();
    const auto file = window.dialogs.ChooseOpenFile(open_filter::kP7b);
    if (!file) {
        Line(window, kActionCancelled);
        return;
    }
    const CertContext certificate = SelectFileStoreCertificate(window.dialogs, *file);
    if (!certificate) {
        Line(window, kActionCancelled);
        return;
    }
    SaveCertificate(window, certificate);
}

}  // namespace velmora
