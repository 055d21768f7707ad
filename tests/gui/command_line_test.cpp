#include "app/qt/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

CommandLine Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "velmora");
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, HelpAndVersionAreAnsweredNotOpened) {
    for (const char* option : {"--help", "-h"}) {
        const CommandLine line = Parse({option, "x.cer"});
        EXPECT_TRUE(line.help) << option;
        EXPECT_FALSE(line.file) << option;
    }
    const CommandLine version = Parse({"--version"});
    EXPECT_TRUE(version.version);
    EXPECT_FALSE(version.file);
    EXPECT_EQ(VersionText(), std::string("velmora ") + VELMORA_VERSION + "\n");
    EXPECT_TRUE(HelpText().starts_with("Использование: velmora [ФАЙЛ]\n"));

    // A file may still bear such a name, after "--"; and only the first
    // argument counts.
    EXPECT_EQ(Parse({"--", "--help"}).file, std::filesystem::path("--help"));
    EXPECT_EQ(Parse({"a.cer", "--help"}).file, std::filesystem::path("a.cer"));
    EXPECT_FALSE(Parse({"a.cer", "--help"}).help);
    const CommandLine shot = Parse({"--screenshot", "out.png", "a.cer"});
    EXPECT_EQ(shot.screenshot, std::filesystem::path("out.png"));
    EXPECT_EQ(shot.file, std::filesystem::path("a.cer"));

    // The desktop entry's actions; after "--" the names are files.
    const CommandLine sign = Parse({"--sign", "a.txt", "b.txt"});
    EXPECT_EQ(sign.signFiles, (std::vector<std::filesystem::path>{"a.txt", "b.txt"}));
    EXPECT_FALSE(sign.file);
    EXPECT_EQ(Parse({"--verify", "a.txt.sig"}).verifyFile, std::filesystem::path("a.txt.sig"));
    EXPECT_EQ(Parse({"--", "--sign"}).file, std::filesystem::path("--sign"));
}

}  // namespace
}  // namespace velmora
