#include "bench_sections.h"

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/system/gost_engine.h"
#include "encoding/atomic_file.h"
#include "report/build/build_report.h"
#include "report/record/decode_record.h"
#include "report/record/file_armour.h"
#include "report/view/recording_view.h"

#include <openssl/bio.h>
#include <openssl/x509.h>

#include <cstdio>
#include <ctime>
#include <functional>
#include <iostream>

namespace velmora::bench {
namespace {

// The certificate the speed goal is set for: a small GOST R 34.10-2012
// end-entity certificate.
constexpr const char* kGoalCertificate = "ee-noext.cer";
constexpr double kGoalReportsPerSecond = 10000;

// One whole report as the main window and `velmora-cli report` make it:
// file bytes to DER, the certificate context, the record, the report.
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

// What `openssl x509 -text` does for one certificate, without the process:
// d2i_X509 and X509_print_ex (with the command's default name options) into
// memory.
bool OpensslPrintOnce(const Bytes& bytes, BIO* out) {
    const unsigned char* p = bytes.data();
    X509* x509 = d2i_X509(nullptr, &p, static_cast<long>(bytes.size()));
    if (x509 == nullptr) {
        return false;
    }
    const bool printed =
        X509_print_ex(out, x509, XN_FLAG_SEP_CPLUS_SPC | ASN1_STRFLGS_UTF8_CONVERT, 0) == 1;
    X509_free(x509);
    (void)BIO_reset(out);
    return printed;
}

// This process's processor time in seconds: what the runs cost, whatever
// else the machine is doing (its other engineers' builds stretch wall time).
double CpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs one for about the given processor time; the number of runs per
// processor second, or -1 when a run fails.
double RatePerSecond(const std::function<bool()>& one, double seconds) {
    std::size_t runs = 0;
    const double start = CpuSeconds();
    double elapsed = 0;
    while (elapsed < seconds) {
        for (int i = 0; i < 50; ++i) {
            if (!one()) {
                return -1;
            }
            ++runs;
        }
        elapsed = CpuSeconds() - start;
    }
    return static_cast<double>(runs) / elapsed;
}

}  // namespace

int RunReportBench(const Options& options) {
    const std::vector<CertFile> files = DerCertificates(options.certificates);
    if (files.empty()) {
        std::cout << "no certificates in " << options.certificates << ": skipped\n";
        return 0;
    }
    if (!platform::StartGostEngine()) {
        std::cout << "the GOST engine does not start\n";
        return 1;
    }
    BIO* out = BIO_new(BIO_s_mem());
    std::printf("per second of processor time\n");
    std::printf("%-22s %7s %14s %16s %7s\n", "certificate", "bytes", "velmora /s", "d2i+print /s",
                "ratio");
    bool goalMet = false;
    bool goalSeen = false;
    int failures = 0;
    for (const CertFile& file : files) {
        const double ours = RatePerSecond([&file] { return ReportOnce(file.bytes); }, 1.0);
        const double openssl =
            RatePerSecond([&file, out] { return OpensslPrintOnce(file.bytes, out); }, 1.0);
        const std::string name = file.path.filename().string();
        if (ours < 0 || openssl < 0) {
            std::printf("%-22s no report (velmora %s, openssl %s)\n", name.c_str(),
                        ours < 0 ? "failed" : "ok", openssl < 0 ? "failed" : "ok");
            ++failures;
            continue;
        }
        std::printf("%-22s %7zu %14.0f %16.0f %7.2f\n", name.c_str(), file.bytes.size(), ours,
                    openssl, ours / openssl);
        if (name == kGoalCertificate) {
            goalSeen = true;
            goalMet = ours >= kGoalReportsPerSecond;
        }
    }
    BIO_free(out);
    if (goalSeen) {
        std::printf("goal: %s at least %.0f reports/s in one process: %s\n", kGoalCertificate,
                    kGoalReportsPerSecond, goalMet ? "met" : "MISSED");
    }
    return failures == 0 && goalMet ? 0 : 1;
}

}  // namespace velmora::bench
