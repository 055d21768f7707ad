#include "print/forms/filled_copy.h"

#include "encoding/atomic_file.h"
#include "encoding/error.h"

#include <cstdlib>
#include <system_error>

namespace velmora::print {

std::filesystem::path WriteFilledCopy(const std::filesystem::path& root,
                                      const std::string& fileName, ByteView bytes) {
    std::string pattern = (root / "velmora-print-XXXXXX").native();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw Error("Не удалось создать папку для заполненной формы в " + root.string());
    }
    const std::filesystem::path folder = pattern;
    // The name is the program's own (the form's base name and extension),
    // never one taken from the template, so the file stays in its folder.
    const std::filesystem::path file = folder / std::filesystem::path(fileName).filename();
    if (!WriteFileAtomic(
            file, bytes,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        throw Error("Не удалось создать файл - " + file.string());
    }
    return file;
}

}  // namespace velmora::print
