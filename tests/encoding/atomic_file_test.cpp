#include "encoding/atomic_file.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <utility>

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

TEST(AtomicFile, WriterPutsThePiecesInPlaceOnlyOnCommit) {
    TempFolder folder;
    const auto file = folder.Write("listing", "old");
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(file));
        ASSERT_TRUE(writer.Write(AsBytes("new ")));
        EXPECT_EQ(TempFolder::Read(file), "old");
        AtomicFileWriter moved = std::move(writer);
        EXPECT_FALSE(writer.Write(AsBytes("lost")));
        ASSERT_TRUE(moved.Write(AsBytes("listing")));
        EXPECT_EQ(folder.Entries().size(), 2u);
    }
    // Not committed: the temporary file is gone, the target as it was.
    EXPECT_EQ(TempFolder::Read(file), "old");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"listing"});

    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(file));
    ASSERT_TRUE(writer.Write(AsBytes("new ")) && writer.Write(AsBytes("listing")));
    ASSERT_TRUE(writer.Commit());
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(TempFolder::Read(file), "new listing");

    // The longest name the system allows still leaves room for the
    // temporary file's name.
    const auto longest = folder / std::string(255, 'n');
    ASSERT_TRUE(WriteFileAtomic(longest, AsBytes("x")));
    EXPECT_EQ(TempFolder::Read(longest), "x");
    EXPECT_EQ(folder.Entries().size(), 2u);

    EXPECT_FALSE(writer.Open(folder.path() / ".."));
    EXPECT_EQ(writer.error(), EISDIR);
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
