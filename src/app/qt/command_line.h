// The program's arguments: the file to open, the usual --help and --version,
// and the picture-taking mode that the documentation's screenshots are made
// with.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

struct CommandLine {
    // The first argument: a request or certificate file (or a CRL) to open.
    std::optional<std::filesystem::path> file;
    // "--screenshot OUT.png" in front of the file: save a picture of the
    // window once the file is shown, then end.
    std::optional<std::filesystem::path> screenshot;
    // "--window NAME" after the picture's name: picture that window or
    // dialog of the program, shown over the file, instead of the main window.
    std::optional<std::string> window;
    // "--help" (or "-h") and "--version": answered on the standard output
    // without opening a window.
    bool help = false;
    bool version = false;
    // "--sign FILE...": the batch signing window with these files.
    std::vector<std::filesystem::path> signFiles;
    // "--verify SIG": the full check of a signature file in the main window.
    std::optional<std::filesystem::path> verifyFile;
};

// Reads the arguments. Only the first file argument counts; the rest are
// ignored. File names are taken byte for byte: they need not be valid text.
// "--" ends the options, so that a file named "--help" can still be opened.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The text "velmora --help" prints.
std::string HelpText();

// The text "velmora --version" prints: the program's name and version.
std::string VersionText();

}  // namespace velmora
