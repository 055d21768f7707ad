// The Russian help of velmora-cli: CLI11's own help is English and lists
// commands without their arguments, so the program lays it out itself.
#pragma once

#include <CLI/App.hpp>

#include <memory>

namespace velmora::cli {

std::shared_ptr<CLI::FormatterBase> RussianHelpFormatter();

}  // namespace velmora::cli
