// The error raised by a command that cannot go on. Its text is the Russian
// message the user sees: the window shows it in the "Ошибка" box, the
// command line prints it and exits with a failure status.
#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace velmora
