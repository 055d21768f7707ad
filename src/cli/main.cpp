#include "cli/descriptor_output.h"

#include <iostream>

#include <unistd.h>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return velmora::cli::RunCommandLineTo(args, STDOUT_FILENO, std::cerr);
}
