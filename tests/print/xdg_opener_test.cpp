// The desktop opener with a stand-in xdg-open on the path: the file reaches
// it, and a missing xdg-open is reported. No application is started.

#include "print/forms/document_opener.h"

#include "gui/test_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace velmora::print {
namespace {

namespace fs = std::filesystem;

// Sets PATH for the test and puts the old one back.
class ScopedPath {
  public:
    explicit ScopedPath(const fs::path& folder) {
        if (const char* path = std::getenv("PATH")) {
            old_ = path;
        }
        setenv("PATH", folder.c_str(), 1);
    }
    ~ScopedPath() { setenv("PATH", old_.c_str(), 1); }

  private:
    std::string old_;
};

using XdgOpenerTest = testing::TempFolderTest;

TEST_F(XdgOpenerTest, HandsTheFileToXdgOpen) {
    const fs::path bin = folder_ / "bin";
    fs::create_directories(bin);
    // The stand-in writes what it was given, whole (by renaming).
    testing::WriteAll(bin / "xdg-open",
                      "#!/bin/sh\nPATH=/usr/bin:/bin\n"
                      "printf '%s' \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.given\"\n");
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    const fs::path form = folder_ / "форма с пробелом.xlsx";
    {
        const ScopedPath path(bin);
        EXPECT_EQ(XdgOpener().Open(form), std::nullopt);
    }
    // xdg-open runs detached: give it the time a loaded machine may need.
    const fs::path given = bin / "xdg-open.given";
    for (int i = 0; i < 400 && !fs::exists(given); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream in(given);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), form.string());

    const ScopedPath empty(folder_);
    const std::optional<std::string> failure = XdgOpener().Open(form);
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->starts_with("не удалось запустить xdg-open: ")) << *failure;
}

}  // namespace
}  // namespace velmora::print
