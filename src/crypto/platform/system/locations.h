// Where the program keeps the user's keys and stores and the machine's
// stores. Read from the environment on every call, so a test that points
// XDG_DATA_HOME or VELMORA_MACHINE_DIR at a temporary folder is obeyed at once.
#pragma once

#include <filesystem>

namespace velmora::platform {

// $XDG_DATA_HOME/velmora, or ~/.local/share/velmora when XDG_DATA_HOME is
// unset, empty or not absolute (as the XDG rules say).
std::filesystem::path UserDataFolder();

// The reader "HDIMAGE": one folder per key container.
std::filesystem::path KeyFolder();

// $VELMORA_MACHINE_DIR, or /var/lib/velmora when it is unset or empty.
std::filesystem::path MachineDataFolder();

enum class StoreLocation { CurrentUser, LocalMachine };

// The folder of the system stores (one subfolder per store name) at a location.
std::filesystem::path StoreFolder(StoreLocation location);

}  // namespace velmora::platform
