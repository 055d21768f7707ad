// Message boxes and file dialogs, as the commands ask for them. The main
// window shows real dialogs; tests answer from a script.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

enum class MessageIcon { None, Information, Warning, Error, Question };

enum class MessageButtons { Ok, OkCancel, YesNo };

enum class MessageAnswer { Ok, Cancel, Yes, No };

// A key container as the container manager hands it back after "Выбрать".
struct ContainerChoice {
    std::uint32_t providerType = 0;
    std::string providerName;
    std::string containerName;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A modal message box; returns the button pressed.
    virtual MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                      MessageIcon icon, MessageButtons buttons) = 0;

    // The shared open dialog with the filter at the given index (from 1);
    // the last chosen file name carries over. Nothing when cancelled.
    virtual std::optional<std::filesystem::path> ChooseOpenFile(int filter_index) = 0;

    // The shared open dialog allowing several files at once (for this call
    // only); the chosen files in the order given, none when cancelled.
    virtual std::vector<std::filesystem::path> ChooseOpenFiles(int filter_index) {
        std::vector<std::filesystem::path> files;
        if (auto file = ChooseOpenFile(filter_index)) {
            files.push_back(std::move(*file));
        }
        return files;
    }

    // The shared open dialog with a title and preset to a file name.
    virtual std::optional<std::filesystem::path> ChooseOpenFileTitled(
        int filter_index, const std::string& /*title*/, const std::filesystem::path& /*preset*/) {
        return ChooseOpenFile(filter_index);
    }

    // The shared save dialog, preset to a folder and a file name. Nothing
    // when cancelled.
    virtual std::optional<std::filesystem::path> ChooseSaveFile(
        const std::filesystem::path& initial_folder, const std::string& proposed_name) = 0;

    // The save dialog with a title.
    virtual std::optional<std::filesystem::path> ChooseSaveFileTitled(
        const std::filesystem::path& initial_folder, const std::string& proposed_name,
        const std::string& /*title*/) {
        return ChooseSaveFile(initial_folder, proposed_name);
    }

    // The container manager shown modally; the choice counts only when it was
    // closed with "Выбрать". Nothing when it was closed otherwise, or where no
    // container manager exists.
    virtual std::optional<ContainerChoice> ChooseContainer() { return std::nullopt; }
};

// The error box: the given text, the caption "Ошибка", the error icon, OK.
inline void ShowErrorBox(Dialogs& dialogs, const std::string& text) {
    dialogs.ShowMessage(text, "Ошибка", MessageIcon::Error, MessageButtons::Ok);
}

// The information box: the caption "Velmora", the information icon, OK.
inline void ShowInfoBox(Dialogs& dialogs, const std::string& text) {
    dialogs.ShowMessage(text, "Velmora", MessageIcon::Information, MessageButtons::Ok);
}

}  // namespace velmora
