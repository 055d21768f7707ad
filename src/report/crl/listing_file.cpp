#include "report/crl/listing_file.h"

#include "crypto/platform/system/last_error.h"
#include "encoding/cp1251.h"
#include "encoding/error.h"

#include <cerrno>
#include <string>
#include <utility>

namespace velmora {
namespace {

// Text is converted and written in pieces of about this size.
constexpr std::size_t kChunk = 1 << 16;

// The system's Russian text for a file error, as the platform words the
// errors it maps to.
std::string FileErrorText(int error_number) {
    switch (error_number) {
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ENOTDIR:
        case EEXIST:
            return platform::ErrorMessageText(platform::error::kAccessDenied);
        case ENOENT:
            return platform::ErrorMessageText(platform::error::kFileNotFound);
        default:
            return std::string("Ошибка ввода-вывода (") + std::to_string(error_number) + ").";
    }
}

}  // namespace

ListingFile::ListingFile(std::filesystem::path target) : target_(std::move(target)) {
    if (!file_.Open(target_)) {
        Raise(file_.error());
    }
    pending_.reserve(kChunk + 256);
}

void ListingFile::WriteLine(std::string_view line) {
    pending_.append(line);
    pending_.append("\r\n");
    if (pending_.size() >= kChunk) {
        Flush();
    }
}

void ListingFile::Flush() {
    // Most of a listing is ASCII (serial numbers, dates), which is the same
    // in Windows-1251: only the runs of other characters need converting.
    // Lines end where the text is cut, so no character is split.
    Bytes bytes;
    bytes.reserve(pending_.size());
    std::size_t pos = 0;
    while (pos < pending_.size()) {
        std::size_t end = pos;
        while (end < pending_.size() && static_cast<unsigned char>(pending_[end]) < 0x80) {
            ++end;
        }
        bytes.insert(bytes.end(), pending_.begin() + static_cast<std::ptrdiff_t>(pos),
                     pending_.begin() + static_cast<std::ptrdiff_t>(end));
        pos = end;
        while (end < pending_.size() && static_cast<unsigned char>(pending_[end]) >= 0x80) {
            ++end;
        }
        if (end > pos) {
            const Bytes converted = Utf8ToCp1251(std::string_view(pending_).substr(pos, end - pos));
            bytes.insert(bytes.end(), converted.begin(), converted.end());
            pos = end;
        }
    }
    pending_.clear();
    if (!file_.Write(bytes)) {
        Raise(file_.error());
    }
}

void ListingFile::Commit() {
    Flush();
    if (!file_.Commit()) {
        Raise(file_.error());
    }
}

void ListingFile::Raise(int error_number) {
    throw Error("Не удается записать файл \"" + target_.string() + "\". " +
                FileErrorText(error_number));
}

}  // namespace velmora
