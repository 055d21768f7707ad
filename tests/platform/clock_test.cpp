#include "crypto/platform/system/clock.h"

#include <gtest/gtest.h>

#include <thread>

namespace velmora::platform {
namespace {

using std::chrono::seconds;
using std::chrono::system_clock;

TEST(Clock, FileTimeOfSystemClockPoints) {
    EXPECT_EQ(ToFileTime(system_clock::time_point{}), kUnixEpochFileTime);
    // 2024-03-15 14:05:09 UTC is 1710511509 s after 1970.
    EXPECT_EQ(ToFileTime(system_clock::time_point{seconds{1710511509}}),
              kUnixEpochFileTime + 17105115090000000ULL);
    EXPECT_EQ(ToFileTime(system_clock::time_point{seconds{-86400}}),
              kUnixEpochFileTime - 864000000000ULL);
}

TEST(Clock, OverridesNestAndRestoreAndStayOnTheirThread) {
    const FileTime t1 = kUnixEpochFileTime + 1;
    const FileTime t2 = kUnixEpochFileTime + 2;
    {
        ScopedClockOverride outer(t1);
        EXPECT_EQ(NowFileTime(), t1);
        {
            ScopedClockOverride inner(t2);
            EXPECT_EQ(NowFileTime(), t2);
            outer.Set(t2 + 5);  // an outer override moved meanwhile ...
            EXPECT_EQ(NowFileTime(), t2);
        }
        EXPECT_EQ(NowFileTime(), t2 + 5);  // ... shows its new time once it is innermost
        outer.Set(t1 + 10);
        EXPECT_EQ(NowFileTime(), t1 + 10);

        FileTime other_thread_now = 0;
        std::thread other([&] { other_thread_now = NowFileTime(); });
        other.join();
        EXPECT_GT(other_thread_now, kUnixEpochFileTime + 100);
    }
    // Without an override: the system clock.
    const FileTime before = ToFileTime(system_clock::now());
    const FileTime now = NowFileTime();
    EXPECT_LE(before, now);
    EXPECT_LE(now, ToFileTime(system_clock::now()));
}

}  // namespace
}  // namespace velmora::platform
