// What every command of velmora-cli shares: the output format, the two
// streams, and the exit status the command leaves. Each group of commands
// adds its subcommands to the application in a file of its own.
#pragma once

#include "cli/console_view.h"

#include <CLI/App.hpp>

#include <istream>
#include <ostream>

namespace velmora::cli {

// Exit statuses: 0 is success; a command with further outcomes of its own
// documents them beside these.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct CliContext {
    OutputFormat format = OutputFormat::Plain;
    std::istream& in;  // where "stdin" password sources and terminal answers are read
    std::ostream& out;
    std::ostream& err;
    bool terminal = false;  // the input is a terminal: passwords may be asked there
    int status = kExitOk;
};

// The commands of the viewing half: report, crl, pem2der, der2pem.
void AddViewCommands(CLI::App& app, CliContext& ctx);

// The key container commands: keygen, containers, container-info,
// container-copy, container-delete, container-bind, container-import.
void AddKeyCommands(CLI::App& app, CliContext& ctx);

// The signing commands: sign, cosign, verify, chain.
void AddSigningCommands(CLI::App& app, CliContext& ctx);

// The certificate stores: store list, add, delete, export.
void AddStoreCommands(CLI::App& app, CliContext& ctx);

// print: a form template filled from a request or certificate file.
void AddPrintCommands(CLI::App& app, CliContext& ctx);

// The request builder's commands: request-load, request-make.
void AddRequestCommands(CLI::App& app, CliContext& ctx);

}  // namespace velmora::cli
