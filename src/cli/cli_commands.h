// velmora-cli: the headless commands over the same core as the window.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace velmora::cli {

// Runs the command line (without the program name); writes results to out and
// messages to err. Returns the exit status: 0 only on success. Passwords are
// read from the standard input, and asked on it when it is a terminal.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same with the input given (never taken for a terminal).
int RunCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err);

}  // namespace velmora::cli
