#include "app/containers/container_manager.h"

#include "app/containers/container_report.h"
#include "app/grid/grid_operations.h"
#include "app/input/file_loader.h"
#include "app/input/open_filters.h"
#include "crypto/keys/container_operations.h"
#include "encoding/pem.h"
#include "encoding/text_parts.h"
#include "encoding/text_words.h"

#include <charconv>

namespace velmora {
namespace {

const std::vector<std::string> kHeaders = {"Носитель", "Имя", "Уникальное имя", "Серт. в конт."};

// The provider entry selected when the list is refilled, when it is there.
constexpr const char* kDefaultProviderEntry =
    "[75] Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider";

void Line(ReportView& view, const std::string& text) {
    AddReportLine(view, text, kBlack, FontStyle::Regular, 12);
}

}  // namespace

ContainerManager::ContainerManager(StringGrid& grid, ContainerManagerHost host)
    : grid_(grid), host_(std::move(host)) {
    for (int column = 0; column < grid_.ColumnCount(); ++column) {
        grid_.SetColumnWidth(column, kInitialContainerColumnWidths[column]);
    }
    ResetGrid(false);
}

void ContainerManager::SelectProvider(int index) {
    selected_provider_ = index >= 0 && index < static_cast<int>(providers_.size()) ? index : -1;
}

std::string ContainerManager::ProviderListText() const {
    std::string text;
    for (const std::string& entry : providers_) {
        text += entry;
        text += "\r\n";
    }
    return text;
}

std::optional<ContainerChoice> ContainerManager::SelectedContainer() const {
    if (selected_provider_ < 0 || !grid_.Enabled()) {
        return std::nullopt;
    }
    const std::string& entry = providers_[static_cast<std::size_t>(selected_provider_)];
    const std::string type_text = BracketPart(entry, 1);
    ContainerChoice choice;
    std::from_chars(type_text.data(), type_text.data() + type_text.size(), choice.providerType);
    choice.providerName = BracketPart(entry, 2);
    choice.containerName = grid_.Cell(grid_.SelectedRow(), kContainerColumn);
    return choice;
}

void ContainerManager::ResetGrid(bool fit_headers) {
    SetGridHeader(grid_, kHeaders, fit_headers);
}

void ContainerManager::UpdateButtons() {
    buttons_.containerCommands = grid_.Enabled();
    buttons_.exportCertificate = grid_.Enabled();
    buttons_.search = !providers_.empty();
}

void ContainerManager::Status(const std::string& text) {
    if (host_.status) {
        host_.status(text);
    }
}

bool ContainerManager::SelectedRowHasCertificate() const {
    return CompareTexts(grid_.Cell(grid_.SelectedRow(), kCertificateColumn), "ДА") !=
           TextMatch::Different;
}

void ContainerManager::FormShow() {
    ResetGrid(false);
    SearchCSPClick();
}

void ContainerManager::SearchCSPClick() {
    providers_ = ProviderList(host_.dialogs);
    selected_provider_ = -1;
    for (std::size_t i = 0; i < providers_.size(); ++i) {
        if (providers_[i] == kDefaultProviderEntry) {
            selected_provider_ = static_cast<int>(i);
            break;
        }
    }
    UpdateButtons();
}

void ContainerManager::BSearchClick() {
    // Nothing to search in while no provider is chosen.
    if (selected_provider_ < 0) {
        return;
    }
    const std::string& entry = providers_[static_cast<std::size_t>(selected_provider_)];
    const std::string type_text = BracketPart(entry, 1);
    std::uint32_t type = 0;
    std::from_chars(type_text.data(), type_text.data() + type_text.size(), type);
    Status("Поиск контейнеров...");
    std::vector<TContainerInfo> containers;
    EnumerateContainers(BracketPart(entry, 2), type, containers, host_.dialogs);
    ResetGrid(true);
    Status("Поиск контейнеров...Разбор списка...");
    for (const TContainerInfo& container : containers) {
        AppendGridRow(grid_,
                      {container.carrier, container.uniqueName, container.containerName,
                       YesNoOfBool(container.hasCertificate)},
                      true);
    }
    UpdateButtons();
    Status("");
}

void ContainerManager::SGspscontSelectCell(int row) {
    grid_.SetSelectedRow(row);
    buttons_.exportCertificate = SelectedRowHasCertificate();
}

void ContainerManager::showPKClick() {
    const auto container = SelectedContainer();
    if (!container) {
        return;
    }
    host_.currentRecord = std::make_unique<TRCstruct>();
    ShowContainerInformation(host_.view, *host_.currentRecord, *container,
                             SelectedRowHasCertificate(), host_.dialogs);
}

void ContainerManager::BaddCertClick() {
    const auto container = SelectedContainer();
    if (!container) {
        return;
    }
    host_.view.Clear();
    const auto file = host_.dialogs.ChooseOpenFile(open_filter::kCertificates);
    if (!file) {
        return;
    }
    const platform::CertContext certificate = LoadCertificateFile(*file);
    if (certificate == nullptr) {
        return;
    }
    if (SetContainerCertificate(container->providerName, container->providerType,
                                container->containerName, certificate, host_.dialogs)) {
        Line(host_.view, "Сертификат успешно установлен в контейнер");
    }
}

void ContainerManager::exp_certClick() {
    const auto container = SelectedContainer();
    if (!container) {
        return;
    }
    const platform::CertContext certificate = CertificateFromContainer(
        container->providerName, container->providerType, container->containerName, host_.dialogs);
    if (certificate == nullptr) {
        return;
    }
    const auto file = host_.dialogs.ChooseSaveFile({}, {});
    if (!file) {
        Line(host_.view, "Действие отменено");
        return;
    }
    WriteBufferToFile(certificate->Encoded(), *file);
    Line(host_.view, "Сертификат экспортирован в файл - " + file->string());
}

void ContainerManager::BdelContClick() {
    const auto container = SelectedContainer();
    if (!container) {
        return;
    }
    host_.view.Clear();
    if (host_.dialogs.ShowMessage("Удалить контейнер? Он не восстанавливается!", "Удалить?",
                                  MessageIcon::Question,
                                  MessageButtons::OkCancel) != MessageAnswer::Ok) {
        return;
    }
    Status("Удаление контейнера...");
    if (DeleteContainer(container->providerName, container->providerType,
                        container->containerName)) {
        Line(host_.view, "контейнер удалён");
        DeleteSelectedGridRow(grid_);
        UpdateButtons();
    }
    Status("");
}

void ContainerManager::BCopyKeyClick() {
    const auto container = SelectedContainer();
    if (!container) {
        return;
    }
    Status("Копирование контейнера...");
    host_.view.Clear();
    const std::string proposed = grid_.Cell(grid_.SelectedRow(), kNameColumn) + " - Копия";
    if (const auto answer = host_.copyDialog.AskCopy(proposed)) {
        std::vector<std::string> messages;
        CopyContainerKey(container->providerName, container->providerType, container->containerName,
                         answer->newName, answer->copyCertificate, messages);
        for (const std::string& message : messages) {
            Line(host_.view, message);
        }
    }
    Status("");
}

void ContainerManager::select_contClick() {
    chosen_container_ = grid_.Cell(grid_.SelectedRow(), kContainerColumn);
}

}  // namespace velmora
