#include "crypto/platform/system/clock.h"

#include <cstdint>

namespace velmora::platform {
namespace {

// The innermost override of this thread, if any. Being per thread, a test's
// fixed time neither leaks into nor races with other threads.
thread_local const ScopedClockOverride* current_override = nullptr;

}  // namespace

FileTime ToFileTime(std::chrono::system_clock::time_point point) {
    using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
    const std::int64_t since_unix =
        std::chrono::duration_cast<Ticks>(point.time_since_epoch()).count();
    constexpr auto kEpoch = static_cast<std::int64_t>(kUnixEpochFileTime);
    if (since_unix < -kEpoch) {
        return 0;
    }
    return static_cast<FileTime>(since_unix + kEpoch);
}

FileTime NowFileTime() {
    if (current_override != nullptr) {
        return current_override->Now();
    }
    return ToFileTime(std::chrono::system_clock::now());
}

ScopedClockOverride::ScopedClockOverride(FileTime now) : now_(now), previous_(current_override) {
    current_override = this;
}

ScopedClockOverride::~ScopedClockOverride() {
    current_override = previous_;
}

}  // namespace velmora::platform
