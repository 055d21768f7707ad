#include "bench_sections.h"

#include "encoding/atomic_file.h"

#include <algorithm>

namespace velmora::bench {

std::vector<CertFile> DerCertificates(const std::filesystem::path& folder) {
    std::vector<CertFile> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::filesystem::path& path = entry.path();
        const std::string stem = path.stem().string();
        if (path.extension() != ".cer" || stem.ends_with("-b64") || stem.ends_with("-pem")) {
            continue;
        }
        if (auto bytes = ReadFileBytes(path)) {
            files.push_back({path, std::move(*bytes)});
        }
    }
    std::sort(files.begin(), files.end(),
              [](const CertFile& a, const CertFile& b) { return a.path < b.path; });
    return files;
}

}  // namespace velmora::bench
