// The container manager without its window: the provider list, the grid of
// containers and the commands on the selected container. The Qt window shows
// it and forwards its events; tests drive it through a memory grid.
#pragma once

#include "app/containers/copy_key_request.h"
#include "app/grid/string_grid.h"
#include "report/record/record.h"
#include "report/view/dialogs.h"
#include "report/view/report_view.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The grid's columns, in order.
inline constexpr int kCarrierColumn = 0;
inline constexpr int kNameColumn = 1;
inline constexpr int kContainerColumn = 2;  // headed "Уникальное имя": the container's name
inline constexpr int kCertificateColumn = 3;

// Column widths before the first search.
inline constexpr int kInitialContainerColumnWidths[] = {101, 253, 165, 64};

// What the manager writes to and asks through: the main window's report view,
// dialogs and current record, the key-copy dialog, and the status bar.
struct ContainerManagerHost {
    ReportView& view;
    Dialogs& dialogs;
    std::unique_ptr<TRCstruct>& currentRecord;
    CopyKeyDialog& copyDialog;
    // Shows a status text at once (an empty text clears it).
    std::function<void(const std::string&)> status;
};

// Which buttons can be pressed.
struct ContainerButtons {
    bool search = false;             // "Найти": a provider list that is not empty
    bool containerCommands = false;  // "Показать", "Выбрать", "Добавить", "удалить", "копировать"
    bool exportCertificate = false;  // "Экспорт": the grid holds rows (and, once a row is
                                     // picked, that row's container holds a certificate)
};

class ContainerManager {
  public:
    ContainerManager(StringGrid& grid, ContainerManagerHost host);

    // Provider entries "[type] name", and the selected one (-1 for none).
    const std::vector<std::string>& ProviderEntries() const { return providers_; }
    int SelectedProvider() const { return selected_provider_; }
    void SelectProvider(int index);
    // The whole list's text, one entry a line, for the clipboard.
    std::string ProviderListText() const;

    const ContainerButtons& Buttons() const { return buttons_; }

    // The container the commands act on: the selected provider and the
    // container name of the grid's selected row.
    std::optional<ContainerChoice> SelectedContainer() const;
    // The container name stored by "Выбрать", shared with the request builder.
    const std::string& ChosenContainerName() const { return chosen_container_; }

    // The window's events.
    void FormShow();
    void SearchCSPClick();
    void BSearchClick();
    void SGspscontSelectCell(int row);
    void showPKClick();
    void BaddCertClick();
    void exp_certClick();
    void BdelContClick();
    void BCopyKeyClick();
    // Stores the selected container's name as the chosen one.
    void select_contClick();

  private:
    void ResetGrid(bool fit_headers);
    void UpdateButtons();
    void Status(const std::string& text);
    bool SelectedRowHasCertificate() const;

    StringGrid& grid_;
    ContainerManagerHost host_;
    std::vector<std::string> providers_;
    int selected_provider_ = -1;
    ContainerButtons buttons_;
    std::string chosen_container_;
};

}  // namespace velmora
