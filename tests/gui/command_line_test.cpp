#include "app/qt/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

CommandLine Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "velmora");
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, FirstArgumentOnlyAndTheScreenshotMode) {
    EXPECT_FALSE(Parse({}).file);
    EXPECT_FALSE(Parse({""}).file);
    EXPECT_EQ(Parse({"a.cer"}).file, std::filesystem::path("a.cer"));
    EXPECT_EQ(Parse({"a.cer", "b.req"}).file, std::filesystem::path("a.cer"));
    EXPECT_FALSE(Parse({"a.cer"}).screenshot);
    // File names are bytes, not necessarily text.
    EXPECT_EQ(Parse({"\xFF\xFE.cer"}).file->native(), "\xFF\xFE.cer");

    const CommandLine shot = Parse({"--screenshot", "out.png", "a.cer", "b.cer"});
    EXPECT_EQ(shot.screenshot, std::filesystem::path("out.png"));
    EXPECT_EQ(shot.file, std::filesystem::path("a.cer"));
    EXPECT_FALSE(Parse({"--screenshot", "out.png"}).file);
    // Alone, the word is a file name like any other.
    EXPECT_EQ(Parse({"--screenshot"}).file, std::filesystem::path("--screenshot"));
}

}  // namespace
}  // namespace velmora
