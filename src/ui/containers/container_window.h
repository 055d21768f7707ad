// The container manager window: the providers, the containers of the chosen
// one, and the commands on the selected container. Shown on its own from the
// main window, or modally when a command needs a container chosen.
#pragma once

#include "app/containers/container_manager.h"
#include "ui/widgets/qt_string_grid.h"

#include <QDialog>

#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QStatusBar;
class QTableWidget;

namespace velmora {

class TFCopyKEP;

class TFcont : public QDialog {
    Q_OBJECT

  public:
    // The modal result of a showing closed with "Выбрать".
    static constexpr int kModalYes = 6;

    // Writes into the main window's report view, dialogs and record; the
    // key-copy dialog is the program's one.
    TFcont(ReportView& view, Dialogs& dialogs, std::unique_ptr<TRCstruct>& current_record,
           TFCopyKEP& copy_dialog, QWidget* parent = nullptr);
    ~TFcont() override;

    ContainerManager& Manager() { return *manager_; }

    // Shows the window modally; the choice when it was closed with "Выбрать".
    std::optional<ContainerChoice> ChooseContainer();

    // The controls, by their names.
    QListWidget* spsCSP() const { return sps_csp_; }
    QTableWidget* SGspscont() const { return grid_table_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QPushButton* AddButton(const char* name, const char* caption, int x, int y, int width);
    void Run(void (ContainerManager::*handler)());
    void ShowManagerState();
    void ShowStatus(const std::string& text);

    QListWidget* sps_csp_ = nullptr;
    QTableWidget* grid_table_ = nullptr;
    QStatusBar* sb_info_ = nullptr;
    QLabel* sb_panel_ = nullptr;
    std::unique_ptr<QtStringGrid> grid_;
    std::unique_ptr<ContainerManager> manager_;
    Dialogs& dialogs_;
};

}  // namespace velmora
