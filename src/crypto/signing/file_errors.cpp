#include "crypto/signing/file_errors.h"

#include "encoding/error.h"

#include <cerrno>
#include <cstring>

namespace velmora {
namespace {

std::string Reason() {
    return errno != 0 ? std::string(" (") + std::strerror(errno) + ")" : std::string();
}

}  // namespace

std::unique_ptr<FileSource> OpenForReading(const std::filesystem::path& file) {
    errno = 0;
    auto source = FileSource::Open(file);
    if (!source) {
        RaiseReadError(file);
    }
    return source;
}

void RaiseReadError(const std::filesystem::path& file) {
    throw Error("Не удалось прочитать файл " + file.string() + Reason());
}

void RaiseWriteError(const std::filesystem::path& file) {
    throw Error("Не удалось записать файл " + file.string() + Reason());
}

}  // namespace velmora
