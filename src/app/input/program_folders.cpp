#include "app/input/program_folders.h"

#include <algorithm>
#include <system_error>

namespace velmora {

std::vector<std::filesystem::path> ProgramFileFolders(const std::filesystem::path& subfolder,
                                                      const std::filesystem::path& installed) {
    std::vector<std::filesystem::path> folders;
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path folder = executable.parent_path();
        folders.push_back(folder);
        std::filesystem::path data = folder / ".." / "share" / "velmora";
        if (!subfolder.empty()) {
            data /= subfolder;
        }
        folders.push_back(data.lexically_normal());
    }
    if (std::find(folders.begin(), folders.end(), installed) == folders.end()) {
        folders.push_back(installed);
    }
    return folders;
}

}  // namespace velmora
