#include "cli/console_dialogs.h"

namespace velmora::cli {

MessageAnswer ConsoleDialogs::ShowMessage(const std::string& text, const std::string& caption,
                                          MessageIcon icon, MessageButtons buttons) {
    if (icon == MessageIcon::Error) {
        ++errors_;
    }
    err_ << caption << ": " << text << '\n';
    switch (buttons) {
        case MessageButtons::Ok:
            return MessageAnswer::Ok;
        case MessageButtons::OkCancel:
            return MessageAnswer::Cancel;
        case MessageButtons::YesNo:
            return MessageAnswer::No;
    }
    return MessageAnswer::Cancel;
}

std::optional<std::filesystem::path> ConsoleDialogs::ChooseOpenFile(int) {
    return std::nullopt;
}

std::optional<std::filesystem::path> ConsoleDialogs::ChooseSaveFile(const std::filesystem::path&,
                                                                    const std::string&) {
    return std::nullopt;
}

}  // namespace velmora::cli
