#include "bench_process.h"
#include "bench_sections.h"

#include "crypto/platform/certs/cert_context.h"
#include "encoding/atomic_file.h"
#include "report/build/build_report.h"
#include "report/record/decode_record.h"
#include "report/record/file_armour.h"
#include "report/view/recording_view.h"

#include <chrono>
#include <cstdio>
#include <iostream>

namespace velmora::bench {
namespace {

struct CertFile {
    std::filesystem::path path;
    Bytes bytes;
};

std::vector<CertFile> DerCertificates(const std::filesystem::path& folder) {
    std::vector<CertFile> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::filesystem::path& path = entry.path();
        if (path.extension() != ".cer" || path.stem().string().ends_with("-b64") ||
            path.stem().string().ends_with("-pem")) {
            continue;
        }
        if (auto bytes = ReadFileBytes(path)) {
            files.push_back({path, std::move(*bytes)});
        }
    }
    return files;
}

// One whole report as the main window makes it: file bytes to DER, the
// certificate context, the record, the report.
bool ReportOnce(const Bytes& bytes) {
    const auto der = DerOfFileBytes(bytes);
    if (!der) {
        return false;
    }
    const auto certificate = platform::CreateCertificateContext(*der);
    if (!certificate) {
        return false;
    }
    TRCstruct record;
    RecordingView view;
    if (!DecodeCertificate(record, certificate)) {
        return false;
    }
    BuildReport(record, view);
    return !view.Lines().empty();
}

}  // namespace

int RunReportBench(const Options& options) {
    const std::vector<CertFile> files = DerCertificates(options.certificates);
    if (files.empty()) {
        std::cout << "no certificates in " << options.certificates << ": skipped\n";
        return 0;
    }
    // Ours: every certificate in turn, in this process, for about two seconds.
    std::size_t reports = 0;
    const auto start = std::chrono::steady_clock::now();
    double seconds = 0;
    while (seconds < 2.0) {
        for (const CertFile& file : files) {
            if (!ReportOnce(file.bytes)) {
                std::cout << file.path << ": no report\n";
                return 1;
            }
            ++reports;
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double ours = static_cast<double>(reports) / seconds;

    // openssl: one process per report, as a script would run it.
    std::size_t opensslReports = 0;
    double opensslSeconds = 0;
    for (int round = 0; round < options.runs; ++round) {
        for (const CertFile& file : files) {
            const Measure measure =
                RunMeasured({"openssl", "x509", "-engine", "gost", "-inform", "DER", "-in",
                             file.path.string(), "-noout", "-text"});
            if (!measure.ok) {
                std::cout << "openssl x509 failed on " << file.path << "\n";
                return 1;
            }
            opensslSeconds += measure.wallSeconds;
            ++opensslReports;
        }
    }
    const double openssl = static_cast<double>(opensslReports) / opensslSeconds;
    std::printf("%zu certificates from %s\n", files.size(), options.certificates.c_str());
    std::printf("velmora, one process:            %10.0f reports/s\n", ours);
    std::printf("openssl x509 -text, per process: %10.0f reports/s\n", openssl);
    std::printf("ratio: %.1f\n", ours / openssl);
    return 0;
}

}  // namespace velmora::bench
