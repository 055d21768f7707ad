#include "encoding/atomic_file.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace velmora {
namespace {

using testing::TempFolder;

TEST(AtomicFile, WritesReplacesAndReadsBack) {
    TempFolder folder;
    const auto file = folder / "out.bin";
    const Bytes first = {0x00, 0x01, 0xFF, 0x0D, 0x0A};
    ASSERT_TRUE(WriteFileAtomic(file, first));
    EXPECT_EQ(ReadFileBytes(file), first);

    const Bytes second(300000, 0x5A);  // larger than one read block
    ASSERT_TRUE(WriteFileAtomic(file, second));
    EXPECT_EQ(ReadFileBytes(file), second);

    ASSERT_TRUE(WriteFileAtomic(file, {}));
    EXPECT_EQ(ReadFileBytes(file), Bytes{});
    // No temporary file stays behind.
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out.bin"});
}

TEST(AtomicFile, FailureLeavesNothingBehindAndTargetIntact) {
    TempFolder folder;
    // The tests may run as root, which ignores folder permissions: a folder
    // path whose parent is a regular file fails for everyone.
    const auto plain = folder.Write("plain", "keep");
    EXPECT_FALSE(WriteFileAtomic(plain / "child.bin", AsBytes("x")));
    EXPECT_FALSE(WriteFileAtomic(folder / "missing" / "child.bin", AsBytes("x")));

    // A target that is a folder cannot be replaced by a file.
    std::filesystem::create_directory(folder / "dir");
    EXPECT_FALSE(WriteFileAtomic(folder / "dir", AsBytes("x")));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "dir"));

    EXPECT_FALSE(WriteFileAtomic(folder.path() / "", AsBytes("x")));
    EXPECT_EQ(TempFolder::Read(plain), "keep");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"dir", "plain"}));
    EXPECT_FALSE(ReadFileBytes(folder / "missing"));
    EXPECT_FALSE(ReadFileBytes(folder.path()));
}

TEST(AtomicFile, PermissionsAreKeptOrSet) {
    TempFolder folder;
    const auto key = folder / "key";
    ASSERT_TRUE(
        WriteFileAtomic(key, AsBytes("secret"),
                        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write));
    struct stat info {};
    ASSERT_EQ(::stat(key.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // Replacing an existing file keeps its permissions.
    ASSERT_EQ(::chmod(key.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomic(key, AsBytes("new")));
    ASSERT_EQ(::stat(key.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(TempFolder::Read(key), "new");
}

}  // namespace
}  // namespace velmora
