// Runs a program as a child process and measures it: wall time, processor
// time and peak resident memory, the way an administrator's `time` would.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velmora::bench {

struct Measure {
    double wallSeconds = 0;
    double cpuSeconds = 0;  // user + system
    long peakKiB = 0;       // peak resident set of the child
    long writeCalls = -1;   // write system calls of the child; -1 when unknown
    bool ok = false;        // the child exited with status 0
};

// Variables set in the child's environment on top of this process's own.
using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs argv (argv[0] looked up in PATH) with its standard output and error
// sent to /dev/null and measures it.
Measure RunMeasured(const std::vector<std::string>& argv, const Environment& environment = {});

// The best run (lowest wall time) of several, and their median wall time.
struct Summary {
    Measure best;
    double medianWallSeconds = 0;
    bool ok = false;  // every run succeeded
};
Summary Summarise(const std::vector<Measure>& runs);

// This executable's own path, to run one of its child modes.
std::string SelfPath();

}  // namespace velmora::bench
