#include "encoding/atomic_file.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
        // The file being written has no name yet.
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"listing"});
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

// A writer killed at any moment leaves nothing behind once the next write
// to the folder has run: its file had no name yet, or it is a dead writer's
// leftover that the next write removes.
TEST(AtomicFile, KilledWritersLeaveNothingBehind) {
    TempFolder folder;
    const auto target = folder / "listing.csv";
    const Bytes block(1 << 20, 0x42);
    for (int round = 0; round < 24; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Writes and commits the target over and over until killed.
            for (;;) {
                AtomicFileWriter writer;
                if (!writer.Open(target)) {
                    ::_exit(1);
                }
                for (int k = 0; k < 4; ++k) {
                    writer.Write(block);
                }
                writer.Commit();
            }
        }
        // Kills it at a different point of its work each round (where
        // exactly does not matter: the outcome must be the same).
        ::usleep(static_cast<useconds_t>(500 + round * 1700));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        ASSERT_TRUE(WriteFileAtomic(folder / "next", AsBytes("x")));
        std::vector<std::string> entries = folder.Entries();
        std::erase(entries, "listing.csv");
        EXPECT_EQ(entries, std::vector<std::string>{"next"}) << round;
    }
}

TEST(AtomicFile, NextWriteRemovesOnlyDeadWritersLeftovers) {
    TempFolder folder;
    folder.Write(".key.0a1b2c3d.tmp", "part of a dead writer's file");
    // Still empty and recent: perhaps a writer that has not locked it yet.
    folder.Write(".key.00000000.tmp", "");
    // Locked: a live writer's file.
    const auto live = folder.Write(".store.ffffffff.tmp", "being written");
    const int live_fd = ::open(live.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(live_fd, 0);
    ASSERT_EQ(::flock(live_fd, LOCK_EX), 0);
    // Names no writer gives.
    folder.Write(".key.0A1B2C3D.tmp", "x");
    folder.Write(".key.tmp", "x");
    folder.Write("key.0a1b2c3d.tmp", "x");

    ASSERT_TRUE(WriteFileAtomic(folder / "key", AsBytes("new")));
    EXPECT_EQ(folder.Entries(),
              (std::vector<std::string>{".key.00000000.tmp", ".key.0A1B2C3D.tmp", ".key.tmp",
                                        ".store.ffffffff.tmp", "key", "key.0a1b2c3d.tmp"}));
    ::close(live_fd);
    // Once its writer is gone, and an empty one once it is old.
    const auto empty = folder / ".key.00000000.tmp";
    const struct timespec old_times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, empty.c_str(), old_times, 0), 0);
    ASSERT_TRUE(WriteFileAtomic(folder / "key", AsBytes("newer")));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{".key.0A1B2C3D.tmp", ".key.tmp", "key",
                                                          "key.0a1b2c3d.tmp"}));
}

// Writers sharing a sweeps record look for leftovers once per folder: a
// leftover that appears after the first write stays until a write without
// the record (or with a new one) comes.
TEST(AtomicFile, SharedSweepsLookOncePerFolder) {
    TempFolder folder;
    LeftoverSweeps sweeps;
    folder.Write(".a.0a1b2c3d.tmp", "dead");
    AtomicFileWriter first;
    ASSERT_TRUE(first.Open(folder / "a", std::nullopt, &sweeps) && first.Commit());
    folder.Write(".b.0a1b2c3d.tmp", "dead");
    AtomicFileWriter second;
    ASSERT_TRUE(second.Open(folder / "b", std::nullopt, &sweeps) && second.Commit());
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{".b.0a1b2c3d.tmp", "a", "b"}));
    ASSERT_TRUE(WriteFileAtomic(folder / "c", AsBytes("c")));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"a", "b", "c"}));
}

}  // namespace
}  // namespace velmora
