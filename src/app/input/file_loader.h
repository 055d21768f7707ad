// Loading request and certificate files into the decoded record, and
// showing them in the report view. Requests and certificates may be DER or
// base64 text, with or without PEM armour.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "report/record/record.h"
#include "report/view/dialogs.h"
#include "report/view/report_view.h"

#include <cstdint>
#include <filesystem>

namespace velmora {

inline constexpr const char* kUnsupportedFile = "Файл не поддерживается";

// The largest request or certificate file that is read. Real ones are a few
// kilobytes; even one with thousands of alternative names, as base64 text,
// stays far below this. Anything larger is refused unread.
inline constexpr std::uint64_t kMaxObjectFileSize = 1024 * 1024;

// Loads by the kind of the name: a .req file as a request only; a .cer, .crt
// or .der file as a certificate only; any other name as a request first and,
// failing that, as a certificate. True when the record was filled. A file
// that cannot be read (missing, unreadable, no regular file, larger than
// kMaxObjectFileSize) throws Error naming the file and the reason.
bool LoadDecodedFile(TRCstruct& record, const std::filesystem::path& file,
                     Dialogs* dialogs = nullptr);

// The file's bytes decoded as a request; false when the file is missing or
// holds no request. Other read failures throw Error, as in LoadDecodedFile.
bool LoadRequestRecord(TRCstruct& record, const std::filesystem::path& file,
                       Dialogs* dialogs = nullptr);

// The file's certificate decoded; false when there is none.
bool LoadCertificateRecord(TRCstruct& record, const std::filesystem::path& file,
                           Dialogs* dialogs = nullptr);

// The certificate of a file: DER, or base64 with or without PEM armour. A
// file containing "BEGIN" is read as armoured text, any other as bare
// base64; when the text does not convert, the bytes are taken as DER.
// Nothing when the file is missing, when converted text does not decode, or
// when the bytes are not a certificate. Other read failures throw Error, as
// in LoadDecodedFile.
platform::CertContext LoadCertificateFile(const std::filesystem::path& file);

// Loads the file and writes its report into the view. When the file holds no
// request or certificate, shows the error box "Файл не поддерживается" and
// returns false.
bool ShowFileReport(const std::filesystem::path& file, TRCstruct& record, ReportView& view,
                    Dialogs& dialogs);

// What the main window shows for a file: the file name as a plain line, then
// the report; when the file holds no request or certificate, or cannot be
// read, the plain line "Файл не поддерживается" below the name (an error
// raised while reading still goes on to the caller).
bool ShowNamedFileReport(const std::filesystem::path& file, TRCstruct& record, ReportView& view,
                         Dialogs& dialogs);

}  // namespace velmora
