#include "bench_process.h"
#include "bench_sections.h"

#include "crypto/platform/certs/crl.h"
#include "encoding/atomic_file.h"
#include "report/crl/crl_listing.h"
#include "report/view/recording_view.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>

namespace velmora::bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kTimeGoal = 0.15;
constexpr double kMemoryGoalMiB = 20.0;

void PrintRow(const char* who, const Summary& summary) {
    std::printf("%-28s %9.3f %9.3f %9.3f %10.1f\n", who, summary.best.wallSeconds,
                summary.medianWallSeconds, summary.best.cpuSeconds,
                static_cast<double>(summary.best.peakKiB) / 1024.0);
}

// The walk alone, in this process: how much of the listing is decoding.
double DecodeSeconds(const Bytes& der, std::size_t& entries) {
    double best = 0;
    for (int i = 0; i < 3; ++i) {
        platform::CrlInfo info;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = platform::DecodeCrlInfo(der, info, false);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!ok) {
            return -1;
        }
        entries = info.entryCount;
        best = i == 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

// Peak memory of listing a very large CRL, against the goal; true when the
// goal is met or no such CRL was given.
bool BigCrlMemory(const std::filesystem::path& crl) {
    if (crl.empty()) {
        std::cout << "memory: no very large CRL given (--big-crl FILE): skipped\n";
        return true;
    }
    std::error_code error;
    const double sizeMiB = static_cast<double>(std::filesystem::file_size(crl, error)) / kMiB;
    const Measure measure = RunMeasured({SelfPath(), "--child-crl-listing", crl.string()});
    std::filesystem::remove(CrlListingPath(crl), error);
    if (!measure.ok || sizeMiB <= 0) {
        std::cout << "memory: the listing of " << crl << " failed\n";
        return false;
    }
    const double peakMiB = static_cast<double>(measure.peakKiB) / 1024.0;
    const bool met = peakMiB < kMemoryGoalMiB;
    std::printf(
        "memory: %.1f MiB CRL listed in %.3f s with a peak of %.1f MiB; goal below %.0f MiB: "
        "%s\n",
        sizeMiB, measure.wallSeconds, peakMiB, kMemoryGoalMiB, met ? "met" : "MISSED");
    return met;
}

}  // namespace

int ChildCrlListing(const char* crlFile) {
    try {
        TCRLstruct record;
        RecordingView view;
        return ExportCrlListing(crlFile, record, view) ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

int RunCrlListingBench(const Options& options) {
    if (options.crl.empty()) {
        std::cout << "no CRL given (--crl FILE): skipped\n";
        return 0;
    }
    const std::optional<Bytes> der = ReadFileBytes(options.crl);
    if (!der) {
        std::cout << "cannot read " << options.crl << "\n";
        return 1;
    }
    std::size_t entries = 0;
    const double decode = DecodeSeconds(*der, entries);
    if (decode < 0) {
        std::cout << options.crl << " is not a DER CRL\n";
        return 1;
    }
    const double sizeMiB = static_cast<double>(der->size()) / kMiB;
    std::printf("%s: %zu entries, %.1f MiB; the walk alone takes %.3f s\n", options.crl.c_str(),
                entries, sizeMiB, decode);

    const std::vector<std::string> oursArgs = {SelfPath(), "--child-crl-listing",
                                               options.crl.string()};
    const std::vector<std::string> opensslArgs = {
        "openssl", "crl", "-inform", "DER", "-in", options.crl.string(), "-noout", "-text"};
    // One run of each first, to fill the page cache for both; then they take
    // turns, so that a change in the machine's load hits both alike.
    bool warmed = RunMeasured(oursArgs).ok;
    warmed = RunMeasured(opensslArgs).ok && warmed;
    std::vector<Measure> oursRuns;
    std::vector<Measure> opensslRuns;
    for (int i = 0; i < options.runs; ++i) {
        oursRuns.push_back(RunMeasured(oursArgs));
        opensslRuns.push_back(RunMeasured(opensslArgs));
    }
    const Summary ours = Summarise(oursRuns);
    const Summary openssl = Summarise(opensslRuns);
    if (!warmed || !ours.ok || !openssl.ok) {
        std::cout << "a run failed (velmora " << ours.ok << ", openssl " << openssl.ok << ")\n";
        return 1;
    }

    std::printf("%-28s %9s %9s %9s %10s\n", "", "best s", "median s", "cpu s", "peak MiB");
    PrintRow("velmora listing (to file)", ours);
    PrintRow("openssl crl -noout -text", openssl);

    const double timeRatio = ours.best.wallSeconds / openssl.best.wallSeconds;
    const double cpuRatio = ours.best.cpuSeconds / openssl.best.cpuSeconds;
    const bool timeMet = timeRatio <= kTimeGoal;
    std::printf("time:   %.3f of openssl's (cpu %.3f); goal at most %.2f: %s\n", timeRatio,
                cpuRatio, kTimeGoal, timeMet ? "met" : "MISSED");
    const bool memoryMet = BigCrlMemory(options.bigCrl);
    std::error_code ignored;
    std::filesystem::remove(CrlListingPath(options.crl), ignored);
    return timeMet && memoryMet ? 0 : 1;
}

}  // namespace velmora::bench
