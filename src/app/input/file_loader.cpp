#include "app/input/file_loader.h"

#include "app/input/file_kind.h"
#include "encoding/atomic_file.h"
#include "encoding/error.h"
#include "report/build/build_report.h"
#include "report/record/decode_record.h"
#include "report/record/file_armour.h"

#include <system_error>

namespace velmora {
namespace {

bool FileExists(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::exists(file, ec);
}

// The whole file. A file that is there but cannot be read is an error of its
// own, not an unsupported file.
Bytes ReadExistingFile(const std::filesystem::path& file) {
    std::optional<Bytes> bytes = ReadFileBytes(file);
    if (!bytes) {
        throw Error("Не удалось прочитать файл " + file.string());
    }
    return std::move(*bytes);
}

}  // namespace

bool LoadDecodedFile(TRCstruct& record, const std::filesystem::path& file, Dialogs* dialogs) {
    const std::string kind = DetectFileKind(file);
    if (kind == file_kind::kRequest || kind == file_kind::kCertificate) {
        const bool loaded = kind == file_kind::kRequest
                                ? LoadRequestRecord(record, file, dialogs)
                                : LoadCertificateRecord(record, file, dialogs);
        if (!loaded) {
            record = TRCstruct{};
        }
        return loaded;
    }
    if (LoadRequestRecord(record, file, dialogs)) {
        return true;
    }
    // A failed attempt may have filled part of the record; the next attempt,
    // and whoever keeps the record after a failure, start from an empty one.
    record = TRCstruct{};
    if (LoadCertificateRecord(record, file, dialogs)) {
        return true;
    }
    record = TRCstruct{};
    return false;
}

bool LoadRequestRecord(TRCstruct& record, const std::filesystem::path& file, Dialogs* dialogs) {
    if (!FileExists(file)) {
        return false;
    }
    return DecodeRequest(record, ReadExistingFile(file), dialogs);
}

bool LoadCertificateRecord(TRCstruct& record, const std::filesystem::path& file, Dialogs* dialogs) {
    const platform::CertContext certificate = LoadCertificateFile(file);
    if (!certificate) {
        return false;
    }
    return DecodeCertificate(record, certificate, dialogs);
}

platform::CertContext LoadCertificateFile(const std::filesystem::path& file) {
    if (!FileExists(file)) {
        return nullptr;
    }
    const std::optional<Bytes> der = DerOfFileBytes(ReadExistingFile(file));
    if (!der) {
        return nullptr;
    }
    return platform::CreateCertificateContext(*der);
}

bool ShowFileReport(const std::filesystem::path& file, TRCstruct& record, ReportView& view,
                    Dialogs& dialogs) {
    if (!LoadDecodedFile(record, file, &dialogs)) {
        ShowErrorBox(dialogs, "Файл не поддерживается");
        return false;
    }
    BuildReport(record, view);
    return true;
}

}  // namespace velmora
