#include "app/input/conversion.h"

#include "app/input/open_filters.h"
#include "encoding/pem.h"

namespace velmora {
namespace {

using Converter = void (*)(const std::filesystem::path&, const std::filesystem::path&);

void RunConversion(Dialogs& dialogs, std::string_view prefix, Converter convert) {
    const auto source = dialogs.ChooseOpenFile(open_filter::kAllFiles);
    if (!source) {
        return;
    }
    const auto target =
        dialogs.ChooseSaveFile(source->parent_path(), ProposedConversionName(prefix, *source));
    if (!target) {
        return;
    }
    // A file that could not be read, decoded or written is no created file:
    // the conversion's error, naming the step and the file, goes to the
    // caller's error box instead of the success message.
    convert(*source, *target);
    ShowInfoBox(dialogs, CreatedFileMessage(*target));
}

}  // namespace

std::string ProposedConversionName(std::string_view prefix, const std::filesystem::path& source) {
    return std::string(prefix) + source.filename().string();
}

std::string CreatedFileMessage(const std::filesystem::path& target) {
    return "Создан файл - " + target.string();
}

void RunPemToDer(Dialogs& dialogs) {
    RunConversion(dialogs, kDerPrefix, &PemFileToDer);
}

void RunDerToPem(Dialogs& dialogs) {
    RunConversion(dialogs, kPemPrefix, &DerFileToBase64);
}

}  // namespace velmora
