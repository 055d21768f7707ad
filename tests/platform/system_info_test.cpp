#include "crypto/platform/system/system_info.h"
#include "encoding/temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

TEST(SystemInfo, DebianVersionsAsFourNumbers) {
    const struct {
        const char* debian;
        const char* text;  // nullptr: no version
    } cases[] = {
        {"3.0.1-2", "3.0.1.2"},
        {"3.0.11-1~deb12u2", "3.0.11.1"},
        {"1:2.36.1-8+deb12u1", "2.36.1.8"},
        {"1.2-3", "1.2.0.3"},
        {"6.4", "6.4.0.0"},
        {"1.2.3.4", "1.2.3.4"},
        {"1.2.3.4.5-6", "1.2.3.6"},
        {"1.1.1w-0+deb11u1", "1.1.1.0"},
        {"0.0~git20230101.abc-1", "0.0.20230101.1"},
        {"2.0-rc1-3", "2.0.1.3"},
        {"1.0-", "1.0.0.0"},
        {"99999999999-1", "4294967295.0.0.1"},
        {"1:", nullptr},
        {"git-1", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> text = DebianVersionText(c.debian);
        if (c.text == nullptr) {
            EXPECT_FALSE(text) << c.debian;
        } else {
            EXPECT_EQ(text.value_or("none"), c.text) << c.debian;
        }
    }
}

// A package database of its own in a fresh folder.
class FakeDpkg : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(root_ / "info");
        fs::create_directories(root_ / "files");
    }
    void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    const velmora::testing::TempFolder folder_;
    const fs::path root_ = folder_.path();
};

TEST_F(FakeDpkg, VersionOfTheInstalledOwningPackage) {
    const fs::path lib = root_ / "files" / "libgost.so";
    const fs::path tool = root_ / "files" / "tool";
    const fs::path removed = root_ / "files" / "removed";
    Write(root_ / "info" / "libengine-gost-openssl:amd64.list",
          "/.\n" + (root_ / "files").string() + "\n" + lib.string() + "\n");
    Write(root_ / "info" / "tool.list", tool.string() + "\r\n");
    Write(root_ / "info" / "old.list", removed.string() + "\n");
    Write(root_ / "info" / "tool.md5sums", "0123 " + lib.string() + "\n");
    Write(root_ / "status",
          "Package: libengine-gost-openssl\n"
          "Status: install ok installed\n"
          "Architecture: i386\n"
          "Version: 9.9-9\n"
          "\n"
          "Package: libengine-gost-openssl\n"
          "Status: install ok installed\n"
          "Priority: optional\n"
          "Architecture: amd64\n"
          "Version: 3.0.1-2\n"
          "Description: GOST engine\n"
          " Version: 7.7-7\n"
          "\n"
          "Package: tool\n"
          "Status: install ok installed\n"
          "Version: 1:2.36.1-8+deb12u1\n"
          "\n"
          "Package: old\n"
          "Status: deinstall ok config-files\n"
          "Version: 5.0-1\n");
    EXPECT_EQ(FileVersionText(lib, root_), "3.0.1.2");
    // The same file through a path that is not normalised.
    EXPECT_EQ(FileVersionText(root_ / "files" / "." / ".." / "files" / "libgost.so", root_),
              "3.0.1.2");
    EXPECT_EQ(FileVersionText(tool, root_), "2.36.1.8");
    // A package that is no longer installed, a file no package lists, a
    // name that only a non-list file holds, and a path that is a prefix.
    EXPECT_EQ(FileVersionText(removed, root_), "NULL");
    EXPECT_EQ(FileVersionText(root_ / "files" / "unknown", root_), "NULL");
    EXPECT_EQ(FileVersionText(root_ / "files" / "libgost", root_), "NULL");
}

TEST_F(FakeDpkg, FileReachedThroughASymbolicLink) {
    const fs::path real = root_ / "files" / "real";
    Write(real, "x");
    fs::create_symlink(real, root_ / "files" / "link");
    Write(root_ / "info" / "pkg.list", real.string() + "\n");
    Write(root_ / "status", "Package: pkg\nStatus: install ok installed\nVersion: 4.5\n");
    EXPECT_EQ(FileVersionText(root_ / "files" / "link", root_), "4.5.0.0");
}

TEST_F(FakeDpkg, MissingOrBrokenDatabaseGivesNull) {
    const fs::path file = root_ / "files" / "f";
    EXPECT_EQ(FileVersionText(file, root_ / "nowhere"), "NULL");
    Write(root_ / "info" / "pkg.list", file.string() + "\n");
    EXPECT_EQ(FileVersionText(file, root_), "NULL");  // no status file
    Write(root_ / "status", "Package: pkg\nStatus: install ok installed\n");
    EXPECT_EQ(FileVersionText(file, root_), "NULL");  // no version
    Write(root_ / "status", "Package: pkg\nStatus: install ok installed\nVersion: none\n");
    EXPECT_EQ(FileVersionText(file, root_), "NULL");  // no number in it
    Write(root_ / "status",
          "garbage without fields\n\n\nPackage: pkg\nStatus: install ok "
          "installed\nVersion: 2.1\n");
    EXPECT_EQ(FileVersionText(file, root_), "2.1.0.0");
}

TEST(SystemInfo, RealSystem) {
    EXPECT_EQ(IsUserAdmin(), geteuid() == 0);
    // The openssl command belongs to an installed package on Debian.
    if (fs::exists("/var/lib/dpkg/info/openssl.list") && fs::exists("/usr/bin/openssl")) {
        EXPECT_NE(FileVersionText("/usr/bin/openssl"), "NULL");
    }
    EXPECT_EQ(FileVersionText("/nonexistent/velmora/file"), "NULL");
}

}  // namespace
}  // namespace velmora::platform
