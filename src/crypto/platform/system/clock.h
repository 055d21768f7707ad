// "Now" as a file time, with a seam that lets tests fix it.
#pragma once

#include "encoding/date_time.h"

#include <chrono>

namespace velmora::platform {

// The file time of 1970-01-01 00:00 UTC.
inline constexpr FileTime kUnixEpochFileTime = 116444736000000000ULL;

// A point of the system clock as a file time; points before 1601 give 0.
FileTime ToFileTime(std::chrono::system_clock::time_point point);

// The current time as a file time (velmora::FileTime): the system clock,
// unless a ScopedClockOverride of the calling thread fixes it. Code whose
// result depends on "now" (validity, next update) asks here, so tests can fix it.
FileTime NowFileTime();

// Fixes what NowFileTime returns on the calling thread while it lives, for
// tests; overrides nest, and each restores the one it replaced. Other threads
// keep reading the system clock.
class ScopedClockOverride {
  public:
    explicit ScopedClockOverride(FileTime now);
    ~ScopedClockOverride();
    ScopedClockOverride(const ScopedClockOverride&) = delete;
    ScopedClockOverride& operator=(const ScopedClockOverride&) = delete;

    // Moves the fixed time, for instance to let time pass in a test.
    void Set(FileTime now) { now_ = now; }
    FileTime Now() const { return now_; }

  private:
    FileTime now_;
    const ScopedClockOverride* previous_;
};

}  // namespace velmora::platform
