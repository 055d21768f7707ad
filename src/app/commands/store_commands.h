// The main window's commands of the certificate stores and of P7B bundles,
// without the window: each works on the report view, the dialogs and the
// window's current record.
#pragma once

#include "report/record/record.h"
#include "report/view/dialogs.h"
#include "report/view/report_view.h"

#include <memory>
#include <optional>
#include <string_view>

namespace velmora {

// What a command of the main window acts on.
struct WindowState {
    ReportView& view;
    Dialogs& dialogs;
    // The record the view shows; a command that shows a certificate replaces it.
    std::unique_ptr<TRCstruct>& currentRecord;
};

inline constexpr const char* kCertificateAdded = "Сертификат добавлен";
inline constexpr const char* kCertificateDeleted = "Сертификат успешно удалён";
inline constexpr const char* kCertificateNotDeleted = "Сертификат не удалён";
inline constexpr const char* kKeyMismatch = "Сертификат не соотвествует закрытому ключу";
inline constexpr const char* kActionCancelled = "Действие отменено";
inline constexpr const char* kExportedTo = "Сертификат экспортирован в файл - ";

// The system store a shared handler acts on, by the name of the menu item
// that invoked it: "CA" for "BCA_Add", "Bopenca", "BDelCACert"; "ROOT" for
// "BaddCertRoot", "BopenCertRoot", "BDelCertRoot"; nothing for any other.
std::optional<std::string_view> StoreOfMenuItem(std::string_view item_name);

// "Личные": install (with the container's key checked and bound), delete,
// show and export.
void AddMyCertificate(WindowState& window);
void DeleteMyCertificate(WindowState& window);
void ShowMyCertificate(WindowState& window);
void ExportMyCertificate(WindowState& window);

// "Центр сертифкации" and "Доверенные корневые": install, show and delete in
// the store named by the invoking item, at the administrator-dependent
// location.
void AddStoreCertificate(WindowState& window, std::string_view item_name);
void ShowStoreCertificate(WindowState& window, std::string_view item_name);
void DeleteStoreCertificateCommand(WindowState& window, std::string_view item_name);

// "P7B": a certificate picked from a bundle file, shown; "P7B -Экспорт - >
// CER": saved as DER.
void OpenP7bCertificate(WindowState& window);
void ExportP7bCertificate(WindowState& window);

}  // namespace velmora
