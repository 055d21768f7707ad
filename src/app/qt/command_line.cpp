#include "app/qt/command_line.h"

#include <string_view>

namespace velmora {

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine command_line;
    int first = 1;
    if (argc > 2 && std::string_view(argv[1]) == "--screenshot") {
        command_line.screenshot = std::filesystem::path(argv[2]);
        first = 3;
    }
    if (argc > first && argv[first] != nullptr && argv[first][0] != '\0') {
        command_line.file = std::filesystem::path(argv[first]);
    }
    return command_line;
}

}  // namespace velmora
