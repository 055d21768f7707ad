#include "ui/request/request_window.h"

#include "app/request/request_lists.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include <exception>
#include <span>

namespace velmora {
namespace {

using namespace request;

constexpr int kTimerInterval = 2000;
constexpr int kRowStep = 28;
constexpr int kEditHeight = 24;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 26;

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <std::size_t N>
QStringList Entries(const std::array<std::string_view, N>& entries) {
    QStringList list;
    for (const std::string_view entry : entries) {
        list << Q(entry);
    }
    return list;
}

// The check list's items into the form's list, and back.
std::vector<CheckListItem> ReadCheckList(const QListWidget* list) {
    std::vector<CheckListItem> items;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem* item = list->item(row);
        items.push_back({item->text().toStdString(), item->checkState() == Qt::Checked});
    }
    return items;
}

void ShowCheckList(QListWidget* list, const std::vector<CheckListItem>& items) {
    if (ReadCheckList(list).size() != items.size()) {
        list->clear();
        for (std::size_t k = 0; k < items.size(); ++k) {
            auto* item = new QListWidgetItem(list);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        }
    }
    for (std::size_t k = 0; k < items.size(); ++k) {
        QListWidgetItem* item = list->item(static_cast<int>(k));
        item->setText(Q(items[k].text));
        item->setCheckState(items[k].checked ? Qt::Checked : Qt::Unchecked);
    }
}

// The captions of the item and its ancestors, root first.
std::vector<std::string> TreePath(const QTreeWidgetItem* item) {
    std::vector<std::string> path;
    for (; item != nullptr; item = item->parent()) {
        path.insert(path.begin(), item->text(0).toStdString());
    }
    return path;
}

QTreeWidgetItem* NewTreeItem(const CatalogueNode& node) {
    auto* item = new QTreeWidgetItem(QStringList{Q(node.Caption())});
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    return item;
}

// The widget tree mirrors the catalogue tree, which only ever gains nodes at
// the end of a level: the widget children past the ones already shown are
// the catalogue's new nodes, so every level is matched by position.
void AddNewChildren(const std::vector<CatalogueNode>& nodes, QTreeWidgetItem* parent,
                    QTreeWidget* tree) {
    const auto count = [&] {
        return parent != nullptr ? parent->childCount() : tree->topLevelItemCount();
    };
    const auto child = [&](int k) {
        return parent != nullptr ? parent->child(k) : tree->topLevelItem(k);
    };
    if (count() < static_cast<int>(nodes.size())) {
        QList<QTreeWidgetItem*> added;
        for (std::size_t k = static_cast<std::size_t>(count()); k < nodes.size(); ++k) {
            added << NewTreeItem(nodes[k]);
        }
        if (parent != nullptr) {
            parent->addChildren(added);
        } else {
            tree->addTopLevelItems(added);
        }
    }
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        if (!nodes[k].IsLeaf()) {
            AddNewChildren(nodes[k].Children(), child(static_cast<int>(k)), tree);
        }
    }
}

}  // namespace

TNew_req::TNew_req(Dialogs& dialogs, std::filesystem::path start_folder,
                   std::function<std::string()> crypto_pro_label, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowCloseButtonHint),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("New_req"));
    setWindowTitle(QStringLiteral("Создание запроса на сертификат ЭП"));

    QMenu* menu = menuBar()->addMenu(QStringLiteral("Запрос"));
    menu->setObjectName(QStringLiteral("Zapros"));
    const auto item = [this, menu](const char* name, const char* caption,
                                   std::function<void()> command) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        connect(action, &QAction::triggered, this, std::move(command));
    };
    item("req_load", "Загрузить", [this] { Run([this] { builder_->req_loadClick(); }); });
    item("req_save", "Сохранить", [this] { Run([this] { builder_->req_saveClick(); }); });
    menu->addSeparator();
    item("Fclose", "Закрыть", [this] { close(); });

    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    pages_ = new QTabWidget(client);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->setGeometry(0, 0, kClientWidth, kClientHeight);
    const auto add_page = [](QTabWidget* tabs, const char* name, const char* caption) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromUtf8(name));
        tabs->addTab(page, QString::fromUtf8(caption));
        return page;
    };
    BuildGeneralPage(add_page(pages_, "TabSheet1", "Общие данные"));
    BuildSubjectPage(add_page(pages_, "TabSheet2", "Субъект"));
    QWidget* extensions = add_page(pages_, "TabSheet3", "Расширения(1.2.840.113549.1.9.14)");
    extension_pages_ = new QTabWidget(extensions);
    extension_pages_->setObjectName(QStringLiteral("PageControl2"));
    extension_pages_->setGeometry(4, 4, kClientWidth - 14, kClientHeight - 40);
    // The five captions side by side: a slightly smaller type and narrow
    // margins, in tabs drawn like the style's own.
    QFont tab_font = extension_pages_->font();
    tab_font.setPointSizeF(tab_font.pointSizeF() * 0.82);
    extension_pages_->tabBar()->setFont(tab_font);
    extension_pages_->tabBar()->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 4px 4px; margin-right: -1px; border: 1px solid palette(mid);"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
        " background: palette(button); }"
        "QTabBar::tab:selected { background: palette(window); margin-bottom: -1px; }"
        "QTabBar::tab:!selected { margin-top: 2px; }"));
    BuildExtensionPages();
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kTimerInterval);
    connect(timer1_, &QTimer::timeout, this, [this] { Run([this] { builder_->Timer1Timer(); }); });

    form_ = std::make_unique<RequestForm>(
        RequestGrids{*grids_.at("SUB_RDN"), *grids_.at("GridKEYUSAGE"), *grids_.at("SG_ALTNAME"),
                     *grids_.at("SG_CertPolicy")});
    builder_ = std::make_unique<RequestBuilder>(
        *form_, RequestBuilderHost{dialogs, std::move(start_folder), ProgramDataFolders(),
                                   std::move(crypto_pro_label)});
    ShowControls();
}

TNew_req::~TNew_req() = default;

void TNew_req::BuildGeneralPage(QWidget* page) {
    auto* organisation = new QGroupBox(QStringLiteral("Реквизиты организации"), page);
    organisation->setGeometry(8, 6, 462, 364);
    const struct {
        const char* name;
        const char* caption;
        int width;
    } organisation_rows[] = {
        {"e_INN", "ИНН", 220},
        {"e_KPP", "КПП", 220},
        {"e_OGRN", "ОГРН", 220},
        {"E_SNILS", "СНИЛС", 220},
        {"e_SPZ", "код в СПЗ", 220},
        {"e_GMU", "Учётный номер организации ГМУ", 220},
        {"e_locality", "Нас.пункт", 220},
        {"e_region", "Регион", 220},
        {"E_COUNTRY_NAME", "Страна", 48},
    };
    int y = 26;
    for (const auto& row : organisation_rows) {
        AddLabel(organisation, nullptr, row.caption, 10, y + 3, 220);
        AddEdit(organisation, row.name, 232, y, row.width);
        y += kRowStep;
    }
    AddLabel(organisation, nullptr, "Наименование организации", 10, y + 3, 220);
    org_ = new QPlainTextEdit(organisation);
    org_->setObjectName(QStringLiteral("Org"));
    org_->setGeometry(10, y + 22, 442, 2 * org_->fontMetrics().lineSpacing() + 12);
    org_->setTabChangesFocus(true);

    auto* owner = new QGroupBox(QStringLiteral("Реквизиты владельца"), page);
    owner->setGeometry(478, 6, 475, 364);
    const struct {
        const char* name;
        const char* caption;
    } owner_rows[] = {
        {"e_CN", "Обобщеннное имя (COMMON NAME)"},
        {"e_SURNAME", "Фамилия (SURNAME)"},
        {"e_GIVEN_NAME", "имя и отчество  (GIVEN NAME)"},
        {"e_dolgn", "Должность"},
        {"e_podr", "Подразделение"},
        {"e_login_asfk", "учётная запись пользователя АСФК"},
        {"TITLE_ASFK", "Формализованная должность АСФК"},
        {"e_email", "email"},
        {"IDENTIFY_KEY", "Идентификатор ключей при смене"},
    };
    y = 26;
    for (const auto& row : owner_rows) {
        AddLabel(owner, nullptr, row.caption, 10, y + 3, 238);
        if (std::string_view(row.name) == "TITLE_ASFK") {
            title_asfk_ = new QComboBox(owner);
            title_asfk_->setObjectName(QStringLiteral("TITLE_ASFK"));
            title_asfk_->setEditable(true);
            title_asfk_->setInsertPolicy(QComboBox::NoInsert);
            title_asfk_->addItems(Entries(kAsfkTitleEntries));
            title_asfk_->setGeometry(250, y, 215, kEditHeight);
            title_asfk_->view()->setMinimumWidth(560);
        } else {
            AddEdit(owner, row.name, 250, y, 215);
        }
        y += kRowStep;
    }
    AddCheckBox(owner, "avtoSet", "Сформировать автоматически", 10, y, 238);
    AddCheckBox(owner, "addContName", "Добавить в имя контейнера", 250, y, 215);
    y += kRowStep;
    AddLabel(owner, nullptr, "Имя контейнера", 10, y + 3, 238);
    AddEdit(owner, "ContName", 250, y, 215);
    y += kRowStep;
    AddLabel(owner, nullptr, "Существующий", 250, y + 4, 110);
    AddButton(owner, "browse_cont", "Обзор", 375, y, kButtonWidth);

    AddCheckBox(page, "CB_S_EP",
                "Включить в запрос наименование средства электронной подписи "
                "владельца(1.2.643.100.111)",
                8, 380, 945);
    AddEdit(page, "e_SrEP", 8, 406, 462);
    AddLabel(page, nullptr, "CSP-", 8, 446, 34);
    set_csp_ = new QComboBox(page);
    set_csp_->setObjectName(QStringLiteral("SetCsp"));
    set_csp_->setGeometry(44, 442, 560, kEditHeight);
    set_csp_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    AddLabel(page, "Label16", "", 614, 446, 339);
    AddButton(page, "apply", "Применить", 853, 476, 100);
    AddLabel(page, "Label2", "", 8, 510, 945);

    connect(set_csp_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!showing_) {
            Run([this, index] { builder_->SetCspChange(index); });
        }
    });
    connect(checks_.at("avtoSet"), &QCheckBox::toggled, this, [this] { avtoSetClick(); });
    OnClick("browse_cont", [this] { builder_->browse_contClick(); });
    OnClick("apply", [this] { builder_->applyClick(); });
}

void TNew_req::BuildSubjectPage(QWidget* page) {
    AddGrid(page, "SUB_RDN", 3, 8, 8, 945, 460);
    AddOidRow(page, 478, 420,
              {"cbOids_SG_RDN", "ADD_RDN", "Set_SG_RDN", "del_SUB_RDN", Entries(kSubjectOidEntries),
               &RequestBuilder::ADD_RDNClick, &RequestBuilder::Set_SG_RDNClick,
               &RequestBuilder::del_SUB_RDNClick});
    AddButton(page, "Button2", "Button2", 863, 478, kButtonWidth);
    OnClick("Button2", [this] { builder_->Button2Click(); });
}

void TNew_req::BuildExtensionPages() {
    const auto add_page = [this](const char* name, const char* caption) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromUtf8(name));
        extension_pages_->addTab(page, QString::fromUtf8(caption));
        return page;
    };
    const int grid_height = 420;
    const int row_y = 438;
    const int check_y = 472;

    QWidget* usages = add_page("TabSheet4", "Улучшенный ключ(2.5.29.37)");
    AddGrid(usages, "GridKEYUSAGE", 2, 8, 8, 450, grid_height);
    AddButton(usages, "add_GridKEYUSAGE", "Добавить", 8, row_y, kButtonWidth);
    AddButton(usages, "del_GridKEYUSAGE", "Удалить", 104, row_y, kButtonWidth);
    AddCheckBox(usages, "CB_ENHANCED_KEY_USAGE", "Включить в запрос", 8, check_y, 200);
    tree_ = new QTreeWidget(usages);
    tree_->setObjectName(QStringLiteral("TRee_KEYUSAGE"));
    tree_->setHeaderHidden(true);
    tree_->setGeometry(466, 8, 469, 488);
    connect(tree_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (!showing_ && column == 0) {
            TRee_KEYUSAGEClick(item);
        }
    });
    OnClick("add_GridKEYUSAGE", [this] { builder_->add_GridKEYUSAGEClick(); });
    OnClick("del_GridKEYUSAGE", [this] { builder_->del_GridKEYUSAGEClick(); });

    QWidget* alt_names = add_page("TabSheet5", "Дополнительное имя субъекта(2.5.29.17)");
    QTableWidget* alt_grid = AddGrid(alt_names, "SG_ALTNAME", 3, 8, 8, 927, grid_height);
    alt_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    AddOidRow(alt_names, row_y, 520,
              {"cbOids_SG_ALTNAME", "add_SG_ALTNAME", "Set_SG_ALTNAME", "del_SG_ALTNAME",
               Entries(kAltNameOidEntries), &RequestBuilder::add_SG_ALTNAMEClick,
               &RequestBuilder::Set_SG_ALTNAMEClick, &RequestBuilder::del_SG_ALTNAMEClick});
    AddCheckBox(alt_names, "CB_SUBJECT_ALT_NAME2", "Включить в запрос", 8, check_y, 200);

    QWidget* key_usage = add_page("TabSheet6", "Использование ключа(2.5.29.15)");
    AddCheckList(key_usage, "KeyUse", 8, 8);
    AddCheckBox(key_usage, "CB_KEY_USAGE", "Включить в запрос", 8, 196, 200);

    QWidget* attributes = add_page("TabSheet7", "Атрибуты ключа(2.5.29.2)");
    const struct {
        const char* name;
        const char* caption;
    } attribute_rows[] = {{"attr_ID_KEY", "Идентификатор ключа"},
                          {"attr_NotBefore", "Не ранее"},
                          {"attr_NotAfter", "Не позднее"}};
    int y = 8;
    for (const auto& row : attribute_rows) {
        AddLabel(attributes, nullptr, row.caption, 8, y + 3, 150);
        AddEdit(attributes, row.name, 160, y, 520);
        y += kRowStep;
    }
    AddCheckList(attributes, "attr_Key_USE", 8, y + 6);
    AddCheckBox(attributes, "CB_KEY_ATTRIBUTES", "Включить в запрос", 8, y + 194, 200);

    QWidget* policies = add_page("TabSheet8", "Политики сертификата(2.5.29.32)");
    AddGrid(policies, "SG_CertPolicy", 2, 8, 8, 927, grid_height);
    AddOidRow(
        policies, row_y, 420,
        {"cbOids_SG_CertPolicy", "add_SG_CertPolicy", "Set_SG_CertPolicy", "del_SG_CertPolicy",
         Entries(kPolicyOidEntries), &RequestBuilder::add_SG_CertPolicyClick,
         &RequestBuilder::Set_SG_CertPolicyClick, &RequestBuilder::del_SG_CertPolicyClick});
    AddCheckBox(policies, "CB_CERT_POLICIES", "Включить в запрос", 8, check_y, 200);
}

void TNew_req::AddOidRow(QWidget* page, int y, int list_width, const OidRow& row) {
    auto* list = new QComboBox(page);
    list->setObjectName(QString::fromUtf8(row.list));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setGeometry(8, y, list_width, kEditHeight);
    list->addItems(row.entries);
    int x = list_width + 20;
    const std::pair<const char*, const char*> buttons[] = {
        {row.add, "Добавить"}, {row.set, "Изменить"}, {row.del, "Удалить"}};
    for (const auto& [name, caption] : buttons) {
        AddButton(page, name, caption, x, y, kButtonWidth);
        x += kButtonWidth + 6;
    }
    const auto with_entry = [this, list](void (RequestBuilder::*handler)(const std::string&)) {
        return [this, list, handler] {
            (builder_.get()->*handler)(list->currentText().toStdString());
        };
    };
    OnClick(row.add, with_entry(row.onAdd));
    OnClick(row.set, with_entry(row.onSet));
    OnClick(row.del, [this, handler = row.onDelete] { (builder_.get()->*handler)(); });
}

QLineEdit* TNew_req::AddEdit(QWidget* parent, const char* name, int x, int y, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setGeometry(x, y, width, kEditHeight);
    edits_.emplace(name, edit);
    return edit;
}

QLabel* TNew_req::AddLabel(QWidget* parent, const char* name, const char* text, int x, int y,
                           int width) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setGeometry(x, y, width, 20);
    if (name != nullptr) {
        label->setObjectName(QString::fromUtf8(name));
        labels_.emplace(name, label);
    }
    return label;
}

QCheckBox* TNew_req::AddCheckBox(QWidget* parent, const char* name, const char* text, int x, int y,
                                 int width) {
    auto* box = new QCheckBox(QString::fromUtf8(text), parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setGeometry(x, y, width, 22);
    checks_.emplace(name, box);
    return box;
}

QPushButton* TNew_req::AddButton(QWidget* parent, const char* name, const char* text, int x, int y,
                                 int width) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(x, y, width, kButtonHeight);
    return button;
}

QTableWidget* TNew_req::AddGrid(QWidget* parent, const char* name, int columns, int x, int y,
                                int width, int height) {
    auto* table = new QTableWidget(parent);
    table->setObjectName(QString::fromUtf8(name));
    table->setGeometry(x, y, width, height);
    ConfigureGridTable(table, columns);
    // The values are typed into the grids.
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grids_.emplace(name, std::make_unique<QtStringGrid>(table));
    return table;
}

QListWidget* TNew_req::AddCheckList(QWidget* parent, const char* name, int x, int y) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromUtf8(name));
    list->setGeometry(x, y, 300, 8 * (list->fontMetrics().height() + 3) + 8);
    return list;
}

void TNew_req::OnClick(const char* button, std::function<void()> command) {
    connect(Button(button), &QPushButton::clicked, this,
            [this, command = std::move(command)] { Run(command); });
}

void TNew_req::Run(const std::function<void()>& command) {
    ReadControls();
    try {
        command();
    } catch (const std::exception& error) {
        ShowErrorBox(dialogs_, error.what());
    }
    ShowControls();
}

void TNew_req::ReadControls() {
    for (const auto& [name, edit] : edits_) {
        form_->Text(name) = edit->text().toStdString();
    }
    form_->Text("TITLE_ASFK") = title_asfk_->currentText().toStdString();
    form_->Text("Org") = org_->toPlainText().toStdString();
    for (const auto& [name, box] : checks_) {
        form_->Check(name) = box->isChecked();
    }
    form_->selectedProvider = set_csp_->currentIndex();
    form_->keyUse = ReadCheckList(CheckList("KeyUse"));
    form_->attrKeyUse = ReadCheckList(CheckList("attr_Key_USE"));
}

void TNew_req::ShowControls() {
    showing_ = true;
    for (const auto& [name, edit] : edits_) {
        const QString text = QString::fromStdString(form_->Text(name));
        if (edit->text() != text) {
            edit->setText(text);
            edit->setCursorPosition(0);
        }
    }
    const QString title = QString::fromStdString(form_->Text("TITLE_ASFK"));
    if (title_asfk_->currentText() != title) {
        title_asfk_->setEditText(title);
        title_asfk_->lineEdit()->setCursorPosition(0);
    }
    const QString org = QString::fromStdString(form_->Text("Org"));
    if (org_->toPlainText() != org) {
        org_->setPlainText(org);
    }
    for (const auto& [name, label] : labels_) {
        label->setText(QString::fromStdString(form_->Text(name)));
    }
    for (const auto& [name, box] : checks_) {
        box->setChecked(form_->Check(name));
    }
    QStringList providers;
    for (const std::string& entry : form_->providers) {
        providers << QString::fromStdString(entry);
    }
    QStringList shown;
    for (int k = 0; k < set_csp_->count(); ++k) {
        shown << set_csp_->itemText(k);
    }
    if (shown != providers) {
        set_csp_->clear();
        set_csp_->addItems(providers);
    }
    set_csp_->setCurrentIndex(form_->selectedProvider);
    ShowCheckList(CheckList("KeyUse"), form_->keyUse);
    ShowCheckList(CheckList("attr_Key_USE"), form_->attrKeyUse);
    showing_ = false;
}

void TNew_req::ShowCatalogue() {
    showing_ = true;
    AddNewChildren(builder_->Catalogue().Roots(), nullptr, tree_);
    showing_ = false;
}

void TNew_req::TRee_KEYUSAGEClick(QTreeWidgetItem* item) {
    const std::vector<std::string> path = TreePath(item);
    const bool leaf = item->childCount() == 0;
    const bool checked = item->checkState(0) == Qt::Checked;
    Run([&] { builder_->TRee_KEYUSAGEClick(path, leaf, checked); });
}

void TNew_req::avtoSetClick() {
    // The timer runs while the box is checked.
    if (checks_.at("avtoSet")->isChecked()) {
        timer1_->start();
    } else {
        timer1_->stop();
    }
}

void TNew_req::Mcreate_reqClick() {
    Run([this] { builder_->PrepareToShow(); });
    show();
    raise();
    activateWindow();
}

void TNew_req::LoadFile(const std::filesystem::path& file) {
    Run([this, &file] { builder_->LoadFile(file); });
}

void TNew_req::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    if (!centred_) {
        centred_ = true;
        if (const QScreen* desktop = screen()) {
            move(desktop->availableGeometry().center() - rect().center());
        }
    }
    // Each showing: empty grids, and the catalogue's new nodes in the tree.
    Run([this] { builder_->FormShow(); });
    ShowCatalogue();
}

QLineEdit* TNew_req::Edit(const char* name) const {
    const auto found = edits_.find(name);
    return found == edits_.end() ? nullptr : found->second;
}

QCheckBox* TNew_req::CheckBox(const char* name) const {
    const auto found = checks_.find(name);
    return found == checks_.end() ? nullptr : found->second;
}

QPushButton* TNew_req::Button(const char* name) const {
    return findChild<QPushButton*>(QString::fromUtf8(name));
}

QComboBox* TNew_req::ComboBox(const char* name) const {
    return findChild<QComboBox*>(QString::fromUtf8(name));
}

QTableWidget* TNew_req::Table(const char* name) const {
    const auto found = grids_.find(name);
    return found == grids_.end() ? nullptr : found->second->Table();
}

QListWidget* TNew_req::CheckList(const char* name) const {
    return findChild<QListWidget*>(QString::fromUtf8(name));
}

}  // namespace velmora
