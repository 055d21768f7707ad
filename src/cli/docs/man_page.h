// The man page of velmora-cli: a hand-written roff page whose command and
// option sections are filled from the program's command tree.
#pragma once

#include "cli/docs/command_tree.h"

#include <string>
#include <string_view>

namespace velmora::cli::docs {

// Text escaped for roff: backslashes and minus signs escaped (so that option
// names copy as typed), quotes safe inside macro arguments, and a line that
// would start with a control character made plain text.
std::string RoffText(std::string_view text);

// The page with the line ".\" velmora-cli-docs: commands" replaced by a
// subsection per command and ".\" velmora-cli-docs: options" by the
// program's own options. Throws std::runtime_error when a marker is missing.
std::string FillManPage(std::string_view page, const DocCommand& program);

}  // namespace velmora::cli::docs
