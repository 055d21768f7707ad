// The filter list of the shared open dialog. Commands choose a filter by its
// index, counted from 1, before they show the dialog.
#pragma once

#include <array>
#include <string_view>

namespace velmora {

// One filter: the text the dialog shows, and the patterns of the file names
// it lists, separated by ";". The patterns follow the usual file-dialog
// convention: "*.*" lists every file, also those without an extension, and
// letters match regardless of case.
struct OpenFilter {
    std::string_view label;
    std::string_view patterns;
};

inline constexpr std::array<OpenFilter, 5> kOpenFilters = {{
    {"запросы (*.req;*.p10)", "*.req;*.p10"},
    {"сертификаты (*.cer;*.pem)", "*.cer;*.pem;*.crt"},
    {"crl (*.crl)", "*.crl"},
    {"все файлы (*.*)", "*.*"},
    {"цепочка сертификатов(p7b)", "*.p7b"},
}};

namespace open_filter {
inline constexpr int kRequests = 1;
inline constexpr int kCertificates = 2;
inline constexpr int kCrl = 3;
inline constexpr int kAllFiles = 4;
inline constexpr int kP7b = 5;
}  // namespace open_filter

}  // namespace velmora
