// The bash completion of velmora-cli, written from the program's command
// tree: commands, their options, the values an option or argument allows,
// and file names for the rest.
#pragma once

#include "cli/docs/command_tree.h"

#include <string>

namespace velmora::cli::docs {

std::string BashCompletion(const DocCommand& program);

}  // namespace velmora::cli::docs
