// Message boxes and the shared open and save dialogs, shown on screen.
#pragma once

#include "report/view/dialogs.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string_view>

class QFileDialog;
class QWidget;

namespace velmora {

class QtDialogs : public Dialogs {
  public:
    // The dialogs are modal over the parent window.
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override;
    // The open dialog remembers the last chosen file, as one shared dialog
    // would: the next use starts in its folder with it selected.
    std::optional<std::filesystem::path> ChooseOpenFile(int filter_index) override;
    std::vector<std::filesystem::path> ChooseOpenFiles(int filter_index) override;
    std::optional<std::filesystem::path> ChooseOpenFileTitled(
        int filter_index, const std::string& title, const std::filesystem::path& preset) override;
    std::optional<std::filesystem::path> ChooseSaveFileTitled(
        const std::filesystem::path& initial_folder, const std::string& proposed_name,
        const std::string& title) override;
    std::optional<std::filesystem::path> ChooseSaveFile(const std::filesystem::path& initial_folder,
                                                        const std::string& proposed_name) override;
    // The container manager shown modally, once the program has one.
    std::optional<ContainerChoice> ChooseContainer() override;
    void SetContainerChooser(std::function<std::optional<ContainerChoice>()> chooser) {
        container_chooser_ = std::move(chooser);
    }

  private:
    QWidget* parent_;
    QString last_file_;
    std::function<std::optional<ContainerChoice>()> container_chooser_;
    std::string title_;  // the title of the save dialog being shown, when it has one
};

// Sets up a file dialog as the shared open dialog: the filter list of the
// open commands with the filter at the index (from 1) selected, the last
// chosen file preselected. The dialog is Qt's own, which shows the filter
// labels exactly and lists files by the patterns that belong to each label.
void ConfigureOpenDialog(QFileDialog& dialog, int filter_index, const QString& last_file);

// The wildcards that list the files of a ";"-separated pattern list: "*.*"
// is every file, and letters match in either case ("*.cer" gives
// "*.[cC][eE][rR]").
QStringList FilterWildcards(std::string_view patterns);

// A chosen file's name as a native path, byte for byte.
std::filesystem::path NativePath(const QString& file);

}  // namespace velmora
