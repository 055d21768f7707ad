// Dialogs that answer from a script and keep what they were asked, so that
// every command runs without a screen. A file dialog or a container choice
// without a scripted answer fails the test and is answered as if cancelled; a
// message box takes the next scripted answer, or OK when none is left.
#pragma once

#include "report/view/dialogs.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::testing {

class ScriptedDialogs : public Dialogs {
  public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
        MessageButtons buttons;
    };
    struct SaveRequest {
        std::filesystem::path folder;
        std::string proposedName;
    };

    // Answers, used in order. nullopt cancels a file dialog.
    std::deque<std::optional<std::filesystem::path>> openAnswers;
    std::deque<std::optional<std::filesystem::path>> saveAnswers;
    std::deque<MessageAnswer> messageAnswers;
    std::deque<std::optional<ContainerChoice>> containerAnswers;
    // Answers of the open dialog that allows several files; empty cancels.
    std::deque<std::vector<std::filesystem::path>> openManyAnswers;

    // What was asked, in order.
    std::vector<Message> messages;
    std::vector<int> openFilterIndexes;
    std::vector<std::string> dialogTitles;
    std::vector<SaveRequest> saveRequests;
    int containerRequests = 0;

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override {
        messages.push_back({text, caption, icon, buttons});
        if (messageAnswers.empty()) {
            return MessageAnswer::Ok;
        }
        const MessageAnswer answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }

    std::optional<std::filesystem::path> ChooseOpenFile(int filter_index) override {
        openFilterIndexes.push_back(filter_index);
        return Next(openAnswers, "open");
    }

    std::vector<std::filesystem::path> ChooseOpenFiles(int filter_index) override {
        openFilterIndexes.push_back(filter_index);
        if (openManyAnswers.empty()) {
            ADD_FAILURE()
                << "the open dialog for several files was shown without a scripted answer";
            return {};
        }
        std::vector<std::filesystem::path> answer = openManyAnswers.front();
        openManyAnswers.pop_front();
        return answer;
    }

    std::optional<std::filesystem::path> ChooseOpenFileTitled(
        int filter_index, const std::string& title, const std::filesystem::path& preset) override {
        dialogTitles.push_back(title);
        presets.push_back(preset);
        return ChooseOpenFile(filter_index);
    }

    std::optional<std::filesystem::path> ChooseSaveFileTitled(
        const std::filesystem::path& initial_folder, const std::string& proposed_name,
        const std::string& title) override {
        dialogTitles.push_back(title);
        return ChooseSaveFile(initial_folder, proposed_name);
    }

    std::vector<std::filesystem::path> presets;

    std::optional<std::filesystem::path> ChooseSaveFile(const std::filesystem::path& initial_folder,
                                                        const std::string& proposed_name) override {
        saveRequests.push_back({initial_folder, proposed_name});
        return Next(saveAnswers, "save");
    }

    std::optional<ContainerChoice> ChooseContainer() override {
        ++containerRequests;
        if (containerAnswers.empty()) {
            ADD_FAILURE() << "the container manager was shown without a scripted answer";
            return std::nullopt;
        }
        std::optional<ContainerChoice> answer = containerAnswers.front();
        containerAnswers.pop_front();
        return answer;
    }

    // The error boxes shown: caption "Ошибка", error icon, OK.
    std::vector<std::string> ErrorTexts() const {
        std::vector<std::string> texts;
        for (const Message& message : messages) {
            if (message.caption == "Ошибка" && message.icon == MessageIcon::Error &&
                message.buttons == MessageButtons::Ok) {
                texts.push_back(message.text);
            }
        }
        return texts;
    }

  private:
    static std::optional<std::filesystem::path> Next(
        std::deque<std::optional<std::filesystem::path>>& answers, const char* dialog) {
        if (answers.empty()) {
            ADD_FAILURE() << "the " << dialog << " dialog was shown without a scripted answer";
            return std::nullopt;
        }
        std::optional<std::filesystem::path> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace velmora::testing
