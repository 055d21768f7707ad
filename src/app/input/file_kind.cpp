#include "app/input/file_kind.h"

namespace velmora {

std::string FileExtension(const std::filesystem::path& file) {
    const std::string& name = file.native();
    const std::size_t slash = name.rfind('/');
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return name.substr(dot);
}

std::string DetectFileKind(const std::filesystem::path& file) {
    std::string extension = FileExtension(file);
    for (char& c : extension) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    if (extension == ".REQ") {
        return std::string(file_kind::kRequest);
    }
    if (extension == ".CER" || extension == ".CRT" || extension == ".DER") {
        return std::string(file_kind::kCertificate);
    }
    if (extension == ".CRL") {
        return std::string(file_kind::kCrl);
    }
    if (extension == ".P7B") {
        return std::string(file_kind::kP7b);
    }
    return std::string(file_kind::kOther);
}

}  // namespace velmora
