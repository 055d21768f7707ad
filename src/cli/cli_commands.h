// velmora-cli: the headless commands over the same core as the window.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velmora::cli {

// Runs the command line (without the program name); writes results to out and
// messages to err. Returns the exit status: 0 only on success.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli
