#include "app/input/conversion.h"

#include "app/input/open_filters.h"
#include "encoding/pem.h"

namespace velmora {
namespace {

using Converter = bool (*)(const std::filesystem::path&, const std::filesystem::path&);

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
    // The conversion does not judge the content, but a file that could not be
    // read, decoded or written is no created file: saying so would hide the
    // failure.
    if (!convert(*source, *target)) {
        ShowErrorBox(dialogs, "Не удалось создать файл - " + target->string());
        return;
    }
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
