// One run of velmora-cli in the test's own process: its exit status and what
// it wrote to each stream.
#pragma once

#include "cli/cli_commands.h"

#include <sstream>
#include <string>
#include <vector>

namespace velmora::cli {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun Cli(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace velmora::cli
