#include "app/input/file_loader.h"

#include "app/input/file_kind.h"
#include "encoding/error.h"
#include "encoding/file_errors.h"
#include "encoding/input_file.h"
#include "report/build/build_report.h"
#include "report/record/decode_record.h"
#include "report/record/file_armour.h"

#include <cerrno>

namespace velmora {
namespace {

// The whole file, refused when it is larger than any request or
// certificate. A missing file gives nothing when the caller takes that as
// "no object" (missingIsError false); every other failure to read, and then
// a missing file too, is an error of its own that names the file and the
// reason, not an unsupported file.
std::optional<Bytes> ReadObjectFile(const std::filesystem::path& file, bool missingIsError) {
    ReadError error;
    std::optional<Bytes> bytes = ReadInputFile(file, kMaxObjectFileSize, error);
    if (!bytes &&
        (missingIsError || error.kind != ReadError::Kind::kSystem || error.errorNumber != ENOENT)) {
        throw Error(ReadErrorText(file, error));
    }
    return bytes;
}

platform::CertContext CertificateOfFileBytes(ByteView bytes) {
    const std::optional<Bytes> der = DerOfFileBytes(bytes);
    if (!der) {
        return nullptr;
    }
    return platform::CreateCertificateContext(*der);
}

}  // namespace

bool LoadDecodedFile(TRCstruct& record, const std::filesystem::path& file, Dialogs* dialogs) {
    const std::string kind = DetectFileKind(file);
    // The file is read once, however many ways it is tried.
    if (const std::optional<Bytes> bytes = ReadObjectFile(file, true)) {
        if (kind != file_kind::kCertificate && DecodeRequest(record, *bytes, dialogs)) {
            return true;
        }
        // A failed attempt may have filled part of the record; the next
        // attempt, and whoever keeps the record after a failure, start from
        // an empty one.
        record = TRCstruct{};
        if (kind != file_kind::kRequest &&
            DecodeCertificate(record, CertificateOfFileBytes(*bytes), dialogs)) {
            return true;
        }
    }
    record = TRCstruct{};
    return false;
}

bool LoadRequestRecord(TRCstruct& record, const std::filesystem::path& file, Dialogs* dialogs) {
    const std::optional<Bytes> bytes = ReadObjectFile(file, false);
    return bytes && DecodeRequest(record, *bytes, dialogs);
}

bool LoadCertificateRecord(TRCstruct& record, const std::filesystem::path& file, Dialogs* dialogs) {
    return DecodeCertificate(record, LoadCertificateFile(file), dialogs);
}

platform::CertContext LoadCertificateFile(const std::filesystem::path& file) {
    const std::optional<Bytes> bytes = ReadObjectFile(file, false);
    return bytes ? CertificateOfFileBytes(*bytes) : nullptr;
}

bool ShowFileReport(const std::filesystem::path& file, TRCstruct& record, ReportView& view,
                    Dialogs& dialogs) {
    if (!LoadDecodedFile(record, file, &dialogs)) {
        ShowErrorBox(dialogs, kUnsupportedFile);
        return false;
    }
    BuildReport(record, view);
    return true;
}

bool ShowNamedFileReport(const std::filesystem::path& file, TRCstruct& record, ReportView& view,
                         Dialogs& dialogs) {
    AddPlainLine(view, file.string());
    bool shown = false;
    try {
        shown = ShowFileReport(file, record, view, dialogs);
    } catch (...) {
        // A file that fails to read ends like one that does not decode; the
        // error itself goes on to the caller's error handling.
        AddPlainLine(view, kUnsupportedFile);
        throw;
    }
    if (!shown) {
        AddPlainLine(view, kUnsupportedFile);
    }
    return shown;
}

}  // namespace velmora
