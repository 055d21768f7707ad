// The writers of the man page and the bash completion: what they take from a
// CLI11 command line and how they escape it. The pages and the completion of
// the real program are checked against its help by check_cli_docs.sh.
#include "cli/docs/bash_completion.h"
#include "cli/docs/command_tree.h"
#include "cli/docs/man_page.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace velmora::cli::docs {
namespace {

TEST(CliDocs, RoffTextEscapesWhatTheFormatterWouldTakeForControls) {
    EXPECT_EQ(RoffText("--format=marked"), "\\-\\-format=marked");
    EXPECT_EQ(RoffText("C:\\keys"), "C:\\ekeys");
    EXPECT_EQ(RoffText(".crl файлы"), "\\&.crl файлы");
    EXPECT_EQ(RoffText("'а'"), "\\&'а'");
    EXPECT_EQ(RoffText("\"ИНН\""), "\\(dqИНН\\(dq");
    EXPECT_EQ(RoffText("две\nстроки"), "две строки");

    std::string value_name;
    std::vector<std::string> choices;
    SplitTypeName("ВИД:{plain,marked}", value_name, choices);
    EXPECT_EQ(value_name, "ВИД");
    EXPECT_EQ(choices, (std::vector<std::string>{"plain", "marked"}));
    SplitTypeName("ФАЙЛ:FILE", value_name, choices);
    EXPECT_EQ(value_name, "ФАЙЛ");
    EXPECT_TRUE(choices.empty());
}

// A command line with a group of commands, a hidden option, a value list and
// options passed down to the commands.
TEST(CliDocs, CommandTreeReachesNestedCommandsAndInheritedOptions) {
    CLI::App app("программа", "prog");
    app.fallthrough();
    std::string mode;
    std::string file;
    std::string secret;
    app.add_option("--mode", mode, "режим")->check(CLI::IsMember({"a", "b"}))->type_name("РЕЖИМ");
    app.add_option("--secret", secret, "скрытый")->group("");
    CLI::App* store = app.add_subcommand("store", "хранилища");
    store->fallthrough();
    CLI::App* add = store->add_subcommand("add", "добавить сертификат");
    add->add_option("ФАЙЛ", file, "сертификат")->required();
    bool force = false;
    add->add_flag("--force", force, "заменить");

    const DocCommand program = DescribeCommandLine(app);
    ASSERT_EQ(program.commands.size(), 1u);
    ASSERT_EQ(program.commands[0].commands.size(), 1u);
    const DocCommand& leaf = program.commands[0].commands[0];
    EXPECT_EQ(leaf.path, (std::vector<std::string>{"store", "add"}));
    ASSERT_EQ(leaf.arguments.size(), 1u);
    EXPECT_TRUE(leaf.arguments[0].required);

    std::vector<std::string> accepted;
    for (const DocOption& option : AcceptedOptions({&program, &program.commands[0], &leaf})) {
        accepted.insert(accepted.end(), option.names.begin(), option.names.end());
    }
    EXPECT_EQ(accepted, (std::vector<std::string>{"-h", "--help", "--force", "--mode"}));

    const std::string page = FillManPage(
        ".TH P 1\n.\\\" velmora-cli-docs: commands\n.\\\" velmora-cli-docs: options\n", program);
    EXPECT_NE(page.find(".SS \"store add [\\fIПАРАМЕТРЫ\\fR] \\fIФАЙЛ\\fR\"\n"), std::string::npos)
        << page;
    EXPECT_NE(page.find("\\fB\\-\\-mode\\fR \\fIРЕЖИМ\\fR\nрежим; значения: a, b\n"),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("secret"), std::string::npos);
    EXPECT_THROW(FillManPage(".TH P 1\n", program), std::runtime_error);

    const std::string completion = BashCompletion(program);
    EXPECT_NE(completion.find("'store add')\n        subs=''\n        opts='-h --help --force "
                              "--mode'\n        valued='--mode'"),
              std::string::npos)
        << completion;
    EXPECT_NE(completion.find("'store add|--mode') words='a b'"), std::string::npos);

    app.add_subcommand("bare", "");
    EXPECT_THROW(DescribeCommandLine(app), std::runtime_error);
}

}  // namespace
}  // namespace velmora::cli::docs
