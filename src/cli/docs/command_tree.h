// The commands, arguments and options of velmora-cli as plain data, read
// from the program's own CLI11 command line: the man page and the bash
// completion are written from it, so they list exactly what the program takes.
#pragma once

#include <CLI/App.hpp>

#include <string>
#include <vector>

namespace velmora::cli::docs {

struct DocOption {
    std::vector<std::string> names;  // "-h", "--help"
    std::string value_name;          // "ВИД"; empty for a flag
    std::vector<std::string> choices;
    std::string description;
    bool required = false;
};

struct DocArgument {
    std::string name;  // "ФАЙЛ"
    std::string description;
    std::vector<std::string> choices;
    bool required = false;
    bool repeated = false;
};

struct DocCommand {
    std::vector<std::string> path;  // {"store", "add"}; empty for the program itself
    std::string description;
    std::string footer;
    std::vector<DocArgument> arguments;
    std::vector<DocOption> options;
    bool takes_parent_options = false;
    std::vector<DocCommand> commands;
};

// The program and every visible command below it, in the order they were
// added. A visible command or option without a description is an error
// (std::runtime_error): the help, the man page and the completion would show
// it unexplained.
DocCommand DescribeCommandLine(const CLI::App& app);

// "ВИД:{plain,marked}" (a type name with the validators CLI11 appends)
// splits into "ВИД" and the choices plain, marked.
void SplitTypeName(const std::string& type_name, std::string& value_name,
                   std::vector<std::string>& choices);

// The options a command accepts: its own, then those of its parents that
// pass theirs down (CLI11's fallthrough), without repeating a name.
std::vector<DocOption> AcceptedOptions(const std::vector<const DocCommand*>& lineage);

}  // namespace velmora::cli::docs
