#include "app/qt/command_line.h"

#include <string_view>

namespace velmora {

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine command_line;
    int first = 1;
    if (argc > 2 && std::string_view(argv[1]) == "--screenshot") {
        command_line.screenshot = std::filesystem::path(argv[2]);
        first = 3;
        if (argc > 4 && std::string_view(argv[3]) == "--window") {
            command_line.window = argv[4];
            first = 5;
        }
    }
    if (argc > first && argv[first] != nullptr && argv[first][0] != '\0') {
        command_line.file = std::filesystem::path(argv[first]);
    }
    return command_line;
}

}  // namespace velmora
