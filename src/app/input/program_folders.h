// Where the program's own data files (print templates, the OID catalogue)
// are looked for.
#pragma once

#include <filesystem>
#include <vector>

namespace velmora {

// The folders, in order: the executable's own folder (a build tree or a copy
// carried on a stick), the data folder of the installation the executable
// belongs to (bin/../share/velmora, with `subfolder` in it when one is
// given), then `installed`, the folder the build installs the files to.
std::vector<std::filesystem::path> ProgramFileFolders(const std::filesystem::path& subfolder,
                                                      const std::filesystem::path& installed);

}  // namespace velmora
