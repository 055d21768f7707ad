// velmora-cli run in the test's own process, with its standard input given
// and its two output streams caught.
#pragma once

#include "cli/cli_commands.h"

#include <sstream>
#include <string>
#include <vector>

namespace velmora::cli {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

inline CliResult Cli(const std::vector<std::string>& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCommandLine(args, in, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace velmora::cli
