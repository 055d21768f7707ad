#include "ui/containers/container_window.h"

#include "ui/containers/copy_key_window.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>

#include <exception>

namespace velmora {
namespace {

constexpr int kClientWidth = 698;
constexpr int kClientHeight = 431;
constexpr int kButtonX = 604;
constexpr int kButtonWidth = 86;

}  // namespace

TFcont::TFcont(ReportView& view, Dialogs& dialogs, std::unique_ptr<TRCstruct>& current_record,
               TFCopyKEP& copy_dialog, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("Fcont"));
    setWindowTitle(QStringLiteral("Контейнера"));
    setFixedSize(kClientWidth, kClientHeight);

    auto* providers_label = new QLabel(QStringLiteral("Доступные CSP"), this);
    providers_label->setObjectName(QStringLiteral("Label2"));
    providers_label->setGeometry(8, 8, 200, 18);
    sps_csp_ = new QListWidget(this);
    sps_csp_->setObjectName(QStringLiteral("spsCSP"));
    sps_csp_->setGeometry(8, 28, kButtonX - 14, 86);

    auto* containers_label = new QLabel(QStringLiteral("Контейнеры"), this);
    containers_label->setObjectName(QStringLiteral("Label1"));
    containers_label->setGeometry(8, 122, 200, 18);
    grid_table_ = new QTableWidget(this);
    grid_table_->setObjectName(QStringLiteral("SGspscont"));
    grid_table_->setGeometry(8, 142, kButtonX - 14, 260);
    ConfigureGridTable(grid_table_, 4);
    grid_ = std::make_unique<QtStringGrid>(grid_table_);

    AddButton("SearchCSP", "Обновить", kButtonX, 28, kButtonWidth);
    AddButton("BSearch", "Найти", kButtonX, 116, kButtonWidth);
    auto* certificate_label = new QLabel(QStringLiteral("сертификат:"), this);
    certificate_label->setObjectName(QStringLiteral("Label3"));
    certificate_label->setGeometry(kButtonX, 142, kButtonWidth, 18);
    AddButton("BaddCert", "Добавить", kButtonX, 162, kButtonWidth);
    AddButton("exp_cert", "Экспорт", kButtonX, 192, kButtonWidth);
    AddButton("showPK", "Показать", kButtonX, 236, kButtonWidth);
    AddButton("BdelCont", "удалить", kButtonX, 266, kButtonWidth);
    AddButton("BCopyKey", "копировать", kButtonX, 296, kButtonWidth);
    AddButton("select_cont", "Выбрать", kButtonX, 346, kButtonWidth);
    AddButton("Bclose", "Закрыть", kButtonX, 376, kButtonWidth);

    sb_info_ = new QStatusBar(this);
    sb_info_->setObjectName(QStringLiteral("SB_info"));
    sb_info_->setSizeGripEnabled(false);
    sb_info_->setGeometry(0, kClientHeight - 22, kClientWidth, 22);
    sb_panel_ = new QLabel(sb_info_);
    sb_panel_->setObjectName(QStringLiteral("SB_info_panel"));
    sb_panel_->setFixedWidth(300);
    sb_info_->addWidget(sb_panel_);

    manager_ = std::make_unique<ContainerManager>(
        *grid_, ContainerManagerHost{view, dialogs, current_record, copy_dialog,
                                     [this](const std::string& text) { ShowStatus(text); }});

    connect(sps_csp_, &QListWidget::currentRowChanged, this,
            [this](int row) { manager_->SelectProvider(row); });
    connect(sps_csp_, &QListWidget::itemDoubleClicked, this, [this] {
        QApplication::clipboard()->setText(QString::fromStdString(manager_->ProviderListText()));
    });
    connect(grid_table_, &QTableWidget::cellClicked, this, [this](int row, int) {
        manager_->SGspscontSelectCell(row + 1);
        ShowManagerState();
    });
    connect(grid_table_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row >= 0) {
            manager_->SGspscontSelectCell(row + 1);
            ShowManagerState();
        }
    });
    const auto on = [this](const char* name, void (ContainerManager::*handler)()) {
        connect(findChild<QPushButton*>(QString::fromUtf8(name)), &QPushButton::clicked, this,
                [this, handler] { Run(handler); });
    };
    on("SearchCSP", &ContainerManager::SearchCSPClick);
    on("BSearch", &ContainerManager::BSearchClick);
    on("BaddCert", &ContainerManager::BaddCertClick);
    on("exp_cert", &ContainerManager::exp_certClick);
    on("showPK", &ContainerManager::showPKClick);
    on("BdelCont", &ContainerManager::BdelContClick);
    on("BCopyKey", &ContainerManager::BCopyKeyClick);
    connect(findChild<QPushButton*>(QStringLiteral("select_cont")), &QPushButton::clicked, this,
            [this] {
                Run(&ContainerManager::select_contClick);
                if (isModal()) {
                    done(kModalYes);
                }
            });
    connect(findChild<QPushButton*>(QStringLiteral("Bclose")), &QPushButton::clicked, this,
            &QDialog::reject);
    ShowManagerState();
}

TFcont::~TFcont() = default;

QPushButton* TFcont::AddButton(const char* name, const char* caption, int x, int y, int width) {
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(x, y, width, 25);
    button->setAutoDefault(false);
    return button;
}

void TFcont::Run(void (ContainerManager::*handler)()) {
    try {
        (manager_.get()->*handler)();
    } catch (const std::exception& error) {
        ShowErrorBox(dialogs_, error.what());
    }
    ShowManagerState();
}

// Puts the model's provider list, selection and button states on screen.
void TFcont::ShowManagerState() {
    const auto& entries = manager_->ProviderEntries();
    if (sps_csp_->count() != static_cast<int>(entries.size()) ||
        (!entries.empty() && sps_csp_->item(0)->text().toStdString() != entries.front())) {
        const QSignalBlocker block(sps_csp_);
        sps_csp_->clear();
        for (const std::string& entry : entries) {
            sps_csp_->addItem(QString::fromStdString(entry));
        }
    }
    if (sps_csp_->currentRow() != manager_->SelectedProvider()) {
        const QSignalBlocker block(sps_csp_);
        sps_csp_->setCurrentRow(manager_->SelectedProvider());
    }
    const ContainerButtons& buttons = manager_->Buttons();
    for (const char* name : {"showPK", "select_cont", "BaddCert", "BdelCont", "BCopyKey"}) {
        findChild<QPushButton*>(QString::fromUtf8(name))->setEnabled(buttons.containerCommands);
    }
    findChild<QPushButton*>(QStringLiteral("exp_cert"))->setEnabled(buttons.exportCertificate);
    findChild<QPushButton*>(QStringLiteral("BSearch"))->setEnabled(buttons.search);
}

void TFcont::ShowStatus(const std::string& text) {
    sb_panel_->setText(QString::fromStdString(text));
    sb_panel_->repaint();
}

void TFcont::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Run(&ContainerManager::FormShow);
}

std::optional<ContainerChoice> TFcont::ChooseContainer() {
    if (exec() != kModalYes) {
        return std::nullopt;
    }
    return manager_->SelectedContainer();
}

}  // namespace velmora
