#include "bench_process.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::bench {
namespace {

// The child's count of write system calls, read while it is a zombie (its
// accounting is kept until it is reaped); -1 when the system does not say.
long WriteCalls(pid_t pid) {
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string key;
    long value = 0;
    while (io >> key >> value) {
        if (key == "syscw:") {
            return value;
        }
    }
    return -1;
}

}  // namespace

Measure RunMeasured(const std::vector<std::string>& argv, const Environment& environment) {
    Measure measure;
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) {
        return measure;
    }
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);  // openssl's engine banner; failure shows in the status
        }
        for (const auto& [name, value] : environment) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) == 0) {
        measure.writeCalls = WriteCalls(pid);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid) {
        return measure;
    }
    const auto end = std::chrono::steady_clock::now();
    measure.wallSeconds = std::chrono::duration<double>(end - start).count();
    measure.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    measure.peakKiB = usage.ru_maxrss;
    measure.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return measure;
}

Summary Summarise(const std::vector<Measure>& runs) {
    Summary summary;
    summary.ok = !runs.empty();
    std::vector<double> walls;
    for (const Measure& measure : runs) {
        summary.ok = summary.ok && measure.ok;
        if (walls.empty() || measure.wallSeconds < summary.best.wallSeconds) {
            summary.best = measure;
        }
        walls.push_back(measure.wallSeconds);
    }
    std::sort(walls.begin(), walls.end());
    summary.medianWallSeconds = walls.empty() ? 0 : walls[walls.size() / 2];
    return summary;
}

std::string SelfPath() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace velmora::bench
