#include "crypto/platform/system/locations.h"

#include <cstdlib>
#include <string>

namespace velmora::platform {
namespace {

std::filesystem::path EnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

}  // namespace

std::filesystem::path UserDataFolder() {
    std::filesystem::path base = EnvironmentPath("XDG_DATA_HOME");
    if (base.empty() || !base.is_absolute()) {
        base = EnvironmentPath("HOME") / ".local" / "share";
    }
    return base / "velmora";
}

std::filesystem::path KeyFolder() {
    return UserDataFolder() / "keys";
}

std::filesystem::path MachineDataFolder() {
    std::filesystem::path base = EnvironmentPath("VELMORA_MACHINE_DIR");
    return base.empty() ? std::filesystem::path("/var/lib/velmora") : base;
}

std::filesystem::path StoreFolder(StoreLocation location) {
    return (location == StoreLocation::LocalMachine ? MachineDataFolder() : UserDataFolder()) /
           "stores";
}

}  // namespace velmora::platform
