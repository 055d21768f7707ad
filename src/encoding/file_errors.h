// The Russian texts of file errors: the system's reason for an errno, and
// the messages that name the step that failed and the file it failed on.
#pragma once

#include "encoding/input_file.h"

#include <filesystem>
#include <string>

namespace velmora {

// The reason for a system error number, in Russian, as a sentence with a
// full stop ("Недостаточно места на диске."). A number the program does not
// expect still gets a Russian text, with the number in it.
std::string SystemErrorText(int errorNumber);

// The reason a file could not be read (the system's, or that it is no
// regular file, or too large).
std::string ReadErrorReason(const ReadError& error);

// "Не удается прочитать файл "<file>". " followed by the reason.
std::string ReadErrorText(const std::filesystem::path& file, const ReadError& error);

// "Не удается записать файл "<file>". " followed by the system's reason.
std::string WriteErrorText(const std::filesystem::path& file, int errorNumber);

}  // namespace velmora
