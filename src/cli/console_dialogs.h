// Dialogs for the command line: message boxes go to the error stream, and
// nothing is ever chosen interactively (the commands take their files as
// arguments). A question is answered with its cautious choice.
#pragma once

#include "report/view/dialogs.h"

#include <ostream>

namespace velmora::cli {

class ConsoleDialogs : public Dialogs {
  public:
    explicit ConsoleDialogs(std::ostream& err) : err_(err) {}

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons buttons) override;
    std::optional<std::filesystem::path> ChooseOpenFile(int filter_index) override;
    std::optional<std::filesystem::path> ChooseSaveFile(const std::filesystem::path& initial_folder,
                                                        const std::string& proposed_name) override;

    // How many error boxes were shown: a command that showed one has failed.
    int ErrorCount() const { return errors_; }

  private:
    std::ostream& err_;
    int errors_ = 0;
};

}  // namespace velmora::cli
