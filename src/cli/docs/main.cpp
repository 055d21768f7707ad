// velmora-cli-docs: writes the man page and the bash completion of
// velmora-cli from the program's own command line, at build time.
//   velmora-cli-docs man TEMPLATE OUT
//   velmora-cli-docs completion OUT
#include "cli/cli_commands.h"
#include "cli/cli_context.h"
#include "cli/docs/bash_completion.h"
#include "cli/docs/command_tree.h"
#include "cli/docs/man_page.h"
#include "encoding/atomic_file.h"
#include "encoding/bytes.h"

#include <CLI/App.hpp>

#include <exception>
#include <iostream>
#include <string>

namespace {

using namespace velmora;
using namespace velmora::cli;

int Write(const std::string& target, const std::string& text) {
    if (!WriteFileAtomic(target, AsBytes(text))) {
        std::cerr << "velmora-cli-docs: не записан " << target << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (!((what == "man" && argc == 4) || (what == "completion" && argc == 3))) {
        std::cerr << "использование: velmora-cli-docs man ЗАГОТОВКА ФАЙЛ | completion ФАЙЛ\n";
        return 2;
    }
    try {
        CliContext ctx{OutputFormat::Plain, std::cin, std::cout, std::cerr, false};
        const docs::DocCommand program = docs::DescribeCommandLine(*MakeCommandLine(ctx));
        if (what == "completion") {
            return Write(argv[2], docs::BashCompletion(program));
        }
        const auto page = ReadFileBytes(argv[2]);
        if (!page) {
            std::cerr << "velmora-cli-docs: не прочитан " << argv[2] << '\n';
            return 1;
        }
        return Write(argv[3], docs::FillManPage(AsText(*page), program));
    } catch (const std::exception& e) {
        std::cerr << "velmora-cli-docs: " << e.what() << '\n';
        return 1;
    }
}
