// The kind of an input file, told by its name alone.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

namespace file_kind {
inline constexpr std::string_view kRequest = "REQ";
inline constexpr std::string_view kCertificate = "CER";
inline constexpr std::string_view kCrl = "CRL";
inline constexpr std::string_view kP7b = "P7B";
inline constexpr std::string_view kOther = "0";
}  // namespace file_kind

// The extension of a file name: from the last "." of its last component to
// the end, the dot included; empty when that component has no dot.
std::string FileExtension(const std::filesystem::path& file);

// "REQ" for .req, "CER" for .cer, .crt and .der, "CRL" for .crl, "P7B" for
// .p7b (Latin letters in any case), and "0" for every other name, .p10 and
// .pem included. The content is never looked at.
std::string DetectFileKind(const std::filesystem::path& file);

}  // namespace velmora
