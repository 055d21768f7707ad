// velmora-cli: the headless commands over the same core as the window.
#pragma once

#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace velmora::cli {

struct CliContext;

// The whole command line, every command group added, its commands reporting
// through ctx. The man page and the bash completion are made from it too.
std::unique_ptr<CLI::App> MakeCommandLine(CliContext& ctx);

// Runs the command line (without the program name); writes results to out and
// messages to err. Returns the exit status: 0 only on success. Passwords are
// read from the standard input, and asked on it when it is a terminal.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same with the input given (never taken for a terminal).
int RunCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err);

}  // namespace velmora::cli
