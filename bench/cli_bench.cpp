#include "bench_process.h"
#include "bench_sections.h"

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

#include <unistd.h>

namespace velmora::bench {
namespace {

constexpr std::size_t kManyFiles = 1000;
constexpr double kManyFilesGoal = 5.0;

// A fresh folder, removed with this object.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Reports per second over runs × every file, one process each.
double PerProcessRate(const std::vector<CertFile>& files, int runs,
                      const std::function<Measure(const CertFile&)>& run) {
    double seconds = 0;
    std::size_t reports = 0;
    for (int round = 0; round < runs; ++round) {
        for (const CertFile& file : files) {
            const Measure measure = run(file);
            if (!measure.ok) {
                std::cout << file.path << ": the command failed\n";
                return -1;
            }
            seconds += measure.wallSeconds;
            ++reports;
        }
    }
    return static_cast<double>(reports) / seconds;
}

int PerProcess(const Options& options, const std::vector<CertFile>& files) {
    const std::string cli = options.cli.string();
    const double ours = PerProcessRate(files, options.runs, [&cli](const CertFile& file) {
        return RunMeasured({cli, "report", file.path.string()});
    });
    // The command loads the system's CA bundle at start unless told not to;
    // a report needs no trust anchors.
    const double openssl = PerProcessRate(files, options.runs, [](const CertFile& file) {
        return RunMeasured({"openssl", "x509", "-engine", "gost", "-inform", "DER", "-in",
                            file.path.string(), "-noout", "-text"},
                           {{"SSL_CERT_FILE", "/dev/null"}});
    });
    if (ours < 0 || openssl < 0) {
        return 1;
    }
    const Measure one = RunMeasured({cli, "report", files.front().path.string()});
    std::printf("velmora-cli report, per process:     %8.0f reports/s\n", ours);
    std::printf("openssl x509 -text, per process:     %8.0f reports/s\n", openssl);
    std::printf("ratio: %.2f\n", ours / openssl);
    std::printf("write calls for one report (%s): %ld\n",
                files.front().path.filename().string().c_str(), one.writeCalls);
    return 0;
}

int ManyFiles(const Options& options, const std::vector<CertFile>& files) {
    TempFolder folder;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kManyFiles; ++i) {
        const CertFile& file = files[i % files.size()];
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%04zu-", i);
        const std::filesystem::path copy = folder.path() / (prefix + file.path.filename().string());
        std::error_code error;
        std::filesystem::copy_file(file.path, copy, error);
        if (error) {
            std::cout << "cannot write " << copy << "\n";
            return 1;
        }
        names.push_back(copy.string());
    }
    const std::string cli = options.cli.string();

    std::vector<std::string> all = {cli, "report"};
    all.insert(all.end(), names.begin(), names.end());
    std::vector<Measure> together;
    for (int round = 0; round < options.runs; ++round) {
        together.push_back(RunMeasured(all));
    }
    const Summary one = Summarise(together);

    double separateSeconds = 0;
    for (const std::string& name : names) {
        const Measure measure = RunMeasured({cli, "report", name});
        if (!measure.ok) {
            std::cout << name << ": the command failed\n";
            return 1;
        }
        separateSeconds += measure.wallSeconds;
    }
    std::printf("%zu files, one process per file: %8.3f s\n", kManyFiles, separateSeconds);
    if (!one.ok) {
        std::printf("%zu files in one process: the command failed (not supported)\n", kManyFiles);
        return 1;
    }
    const double ratio = separateSeconds / one.best.wallSeconds;
    std::printf(
        "%zu files in one process:       %8.3f s (median %.3f, peak %.1f MiB, %ld writes)\n",
        kManyFiles, one.best.wallSeconds, one.medianWallSeconds,
        static_cast<double>(one.best.peakKiB) / 1024.0, one.best.writeCalls);
    std::printf("goal: at least %.0f times faster in one process: %.1f, %s\n", kManyFilesGoal,
                ratio, ratio >= kManyFilesGoal ? "met" : "MISSED");
    return ratio >= kManyFilesGoal ? 0 : 1;
}

}  // namespace

int RunCliBench(const Options& options) {
    const std::vector<CertFile> files = DerCertificates(options.certificates);
    if (files.empty() || !std::filesystem::exists(options.cli)) {
        std::cout << "no certificates or no velmora-cli: skipped\n";
        return 0;
    }
    const int perProcess = PerProcess(options, files);
    std::cout << "\n";
    const int many = ManyFiles(options, files);
    return perProcess == 0 && many == 0 ? 0 : 1;
}

}  // namespace velmora::bench
