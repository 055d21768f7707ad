// What every command of velmora-cli shares: the output format, the two
// streams, and the exit status the command leaves. Each group of commands
// adds its subcommands to the application in a file of its own.
#pragma once

#include "cli/console_view.h"

#include <CLI/App.hpp>

#include <ostream>

namespace velmora::cli {

// Exit statuses: 0 is success; a command with further outcomes of its own
// documents them beside these.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct CliContext {
    OutputFormat format = OutputFormat::Plain;
    std::ostream& out;
    std::ostream& err;
    int status = kExitOk;
};

// The commands of the viewing half: report, crl, pem2der, der2pem.
void AddViewCommands(CLI::App& app, CliContext& ctx);

}  // namespace velmora::cli
