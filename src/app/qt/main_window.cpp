#include "app/qt/main_window.h"

#include "app/commands/store_commands.h"
#include "app/input/conversion.h"
#include "app/input/file_kind.h"
#include "app/input/file_loader.h"
#include "app/input/open_filters.h"
#include "app/qt/qt_dialogs.h"
#include "app/qt/qt_report_view.h"
#include "app/signing/signature_commands.h"
#include "report/crl/crl_listing.h"
#include "ui/containers/container_window.h"
#include "ui/request/request_window.h"
#include "ui/signing/sign_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTextEdit>
#include <QWindow>

#include <exception>
#include <span>

namespace velmora {
namespace {

using Handler = void (TFVelmora::*)();

enum class Entry { Submenu, Item, Separator };

// One line of the menu tree: its depth (0 for the menu bar), the control
// name, the caption, whether it starts disabled, and the command. An item
// without a command yet stays disabled.
struct MenuEntry {
    int depth;
    Entry kind;
    const char* name;
    const char* caption;
    bool off;
    Handler handler;
};

constexpr MenuEntry kMenu[] = {
    {0, Entry::Submenu, "Mfile", "Файл", false, nullptr},
    {1, Entry::Submenu, "Mopen", "Открыть", false, nullptr},
    {2, Entry::Item, "Mrequest", "Запрос на сертификат", false, &TFVelmora::MrequestClick},
    {2, Entry::Item, "MCert", "Сертификат", false, &TFVelmora::MCertClick},
    {2, Entry::Item, "crl1", "crl", false, &TFVelmora::crl1Click},
    {2, Entry::Item, "openP7B", "P7B", false, &TFVelmora::openP7BClick},
    {2, Entry::Item, "bexpP7b", "P7B -Экспорт - > CER", false, &TFVelmora::bexpP7bClick},
    // The first letter of "Cертификаты" is the Latin C.
    {1, Entry::Submenu, "N10", "Cертификаты", false, nullptr},
    {2, Entry::Submenu, "N11", "Личные", false, nullptr},
    {3, Entry::Item, "addMyCert", "Установить", false, &TFVelmora::addMyCertClick},
    {3, Entry::Item, "delMyCert", "Удалить", false, &TFVelmora::delMyCertClick},
    {3, Entry::Item, "Opmycer", "Посмотреть", false, &TFVelmora::OpmycerClick},
    {3, Entry::Item, "bExpCert", "Экспорт", false, &TFVelmora::bExpCertClick},
    {2, Entry::Submenu, "CA1", "Центр сертифкации", false, nullptr},
    {3, Entry::Item, "BCA_Add", "Установить", false, &TFVelmora::BCA_AddClick},
    {3, Entry::Item, "Bopenca", "Посмотреть", false, &TFVelmora::BopencaClick},
    {3, Entry::Item, "BDelCACert", "Удалить", false, &TFVelmora::BDelCACertClick},
    {2, Entry::Submenu, "Root", "Доверенные корневые", false, nullptr},
    {3, Entry::Item, "BopenCertRoot", "Посмотреть", false, &TFVelmora::BopencaClick},
    {3, Entry::Item, "BDelCertRoot", "Удалить", false, &TFVelmora::BDelCACertClick},
    {3, Entry::Item, "BaddCertRoot", "Установить", false, &TFVelmora::BCA_AddClick},
    {1, Entry::Submenu, "N4", "Подпись...", false, nullptr},
    {2, Entry::Item, "BsignFile", "Подписать файл", false, &TFVelmora::BsignFileClick},
    {2, Entry::Item, "BaddSign", "Добавить подпись", false, &TFVelmora::BsignFileClick},
    {2, Entry::Item, "verifySign", "Проверить", false, &TFVelmora::verifySignClick},
    {2, Entry::Separator, "N7", "", false, nullptr},
    {2, Entry::Item, "N6", "Подписать файл(отс. подпись)", false, &TFVelmora::BsignFileClick},
    {2, Entry::Item, "N9", "Добавить подпись", false, &TFVelmora::BsignFileClick},
    {2, Entry::Item, "N8", "Проверить", false, &TFVelmora::N8Click},
    {1, Entry::Submenu, "Mcreate", "Создать", false, nullptr},
    {2, Entry::Item, "Mcreate_req", "Запрос", false, &TFVelmora::Mcreate_reqClick},
    {1, Entry::Submenu, "mPrint", "Печать", true, nullptr},
    {2, Entry::Item, "bPrint", "в Excel", true, &TFVelmora::bPrintClick},
    {2, Entry::Item, "WORD1", "в WORD", true, &TFVelmora::WORD1Click},
    {2, Entry::Item, "PrintotzyvCer", "Отзыв", true, &TFVelmora::PrintotzyvCerClick},
    {2, Entry::Item, "Pr_ReQAPCont", "Заявка АП Континент", true, &TFVelmora::Pr_ReQAPContClick},
    {2, Entry::Item, "printVrs", "как в ВРС", true, &TFVelmora::printVrsClick},
    {1, Entry::Submenu, "convertS", "Конвертация", false, nullptr},
    {2, Entry::Item, "PEMtoDER1", "PEM to DER", false, &TFVelmora::base64tobyte1Click},
    {2, Entry::Item, "DERtoPEM1", "DER to PEM", false, &TFVelmora::DERtoPEM1Click},
    {1, Entry::Separator, "N1", "", false, nullptr},
    {1, Entry::Item, "quit", "Выход", false, &TFVelmora::quitClick},
    {0, Entry::Submenu, "N5", "инфо", false, nullptr},
    // The caption begins with a blank.
    {1, Entry::Item, "skziInfo", " установленные СКЗИ", false, &TFVelmora::skziInfoClick},
    {1, Entry::Item, "cont", "Контейнера", false, &TFVelmora::contClick},
    {1, Entry::Item, "BcertValid", "Проверить сертификат", false, &TFVelmora::BcertValidClick},
};

// The print items whose state follows the kind of the loaded record.
constexpr const char* kRequestPrintItems[] = {"WORD1", "Pr_ReQAPCont"};
constexpr const char* kCertificatePrintItems[] = {"bPrint", "PrintotzyvCer", "printVrs"};

}  // namespace

TFVelmora::TFVelmora(std::filesystem::path start_folder, std::unique_ptr<Dialogs> dialogs,
                     QWidget* parent)
    : QMainWindow(parent), start_folder_(std::move(start_folder)), dialogs_(std::move(dialogs)) {
    setObjectName(QStringLiteral("FVelmora"));
    setWindowTitle(QStringLiteral("Velmora"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    if (!dialogs_) {
        dialogs_ = std::make_unique<QtDialogs>(this);
    }

    rep_ = new QTextEdit(this);
    rep_->setObjectName(QStringLiteral("rep"));
    rep_->setReadOnly(true);
    rep_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    rep_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rep_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    rep_->setLineWrapMode(QTextEdit::WidgetWidth);
    rep_->setFont(QFont(QStringLiteral("Arial Cyr"), 10));
    setCentralWidget(rep_);
    view_ = std::make_unique<QtReportView>(rep_);

    BuildMenu();
    BuildPopupMenu();
    // The batch signing window lives as long as the main window.
    sign_window_ = new TFSign(*view_, *dialogs_, current_record_, this);
    SetPrinting(std::make_unique<print::XdgOpener>(), print::DefaultPrintSettings());

    resize(887, 480);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->availableGeometry();
        move(desktop.center() - QPoint(width() / 2, height() / 2));
    }
}

TFVelmora::~TFVelmora() = default;

ReportView& TFVelmora::View() {
    return *view_;
}

void TFVelmora::BsignFileClick() {
    sign_window_->show();
    sign_window_->raise();
    sign_window_->activateWindow();
}

void TFVelmora::verifySignClick() {
    VerifyAttachedSignatureCommand(*view_, *dialogs_);
}

void TFVelmora::N8Click() {
    VerifyDetachedSignatureCommand(*view_, *dialogs_);
}

void TFVelmora::BcertValidClick() {
    CheckCertificateCommand(*view_, *dialogs_);
}

void TFVelmora::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenuCI"));
    // The bar would take the window's smaller font; it is drawn in the
    // menus' own font, as the menus that drop from it are.
    bar->setFont(QApplication::font("QMenu"));
    std::vector<QMenu*> open;  // the submenu at each depth on the way down
    for (const MenuEntry& entry : kMenu) {
        open.resize(static_cast<std::size_t>(entry.depth));
        QMenu* parent_menu = entry.depth == 0 ? nullptr : open.back();
        const QString name = QString::fromUtf8(entry.name);
        const QString caption = QString::fromUtf8(entry.caption);
        switch (entry.kind) {
            case Entry::Submenu: {
                QMenu* menu =
                    parent_menu != nullptr ? parent_menu->addMenu(caption) : bar->addMenu(caption);
                menu->setObjectName(name);
                menu->menuAction()->setObjectName(name);
                menu->menuAction()->setEnabled(!entry.off);
                open.push_back(menu);
                break;
            }
            case Entry::Item: {
                QAction* action = parent_menu->addAction(caption);
                action->setObjectName(name);
                action->setEnabled(!entry.off && entry.handler != nullptr);
                if (entry.handler != nullptr) {
                    const Handler handler = entry.handler;
                    const std::string item = entry.name;
                    connect(action, &QAction::triggered, this, [this, handler, item] {
                        invoking_item_ = item;
                        RunCommand([this, handler] { (this->*handler)(); });
                    });
                }
                break;
            }
            case Entry::Separator:
                parent_menu->addSeparator()->setObjectName(name);
                break;
        }
    }
}

void TFVelmora::BuildPopupMenu() {
    pm_rep_ = new QMenu(rep_);
    pm_rep_->setObjectName(QStringLiteral("PM_rep"));
    const struct {
        const char* name;
        const char* caption;
        Handler handler;
    } items[] = {
        {"itemUndo", "Отмена", &TFVelmora::itemUndoClick},
        {nullptr, nullptr, nullptr},
        {"itemCut", "Вырезать", &TFVelmora::itemCutClick},
        {"itemCopy", "Копировать", &TFVelmora::itemCopyClick},
        {"itemPaste", "Вставить", &TFVelmora::itemPasteClick},
        {"itemDelete", "Удалить", &TFVelmora::itemDeleteClick},
        {nullptr, nullptr, nullptr},
        {"itemSelectAll", "Выделить всё", &TFVelmora::itemSelectAllClick},
    };
    for (const auto& item : items) {
        if (item.name == nullptr) {
            pm_rep_->addSeparator();
            continue;
        }
        QAction* action = pm_rep_->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromUtf8(item.name));
        const Handler handler = item.handler;
        connect(action, &QAction::triggered, this,
                [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
    }
    connect(pm_rep_, &QMenu::aboutToShow, this, &TFVelmora::PM_repPopup);
    rep_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rep_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pm_rep_->popup(rep_->viewport()->mapToGlobal(pos)); });
}

QAction* TFVelmora::MenuItem(std::string_view name) const {
    const QString object_name = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (QAction* action : menuBar()->findChildren<QAction*>(object_name)) {
        return action;
    }
    return nullptr;
}

void TFVelmora::SetItemEnabled(std::string_view name, bool enabled) {
    if (QAction* action = MenuItem(name)) {
        action->setEnabled(enabled);
    }
}

void TFVelmora::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        ShowErrorBox(*dialogs_, error.what());
    }
}

void TFVelmora::LoadFromFile(const std::filesystem::path& file) {
    view_->Clear();
    current_record_ = std::make_unique<TRCstruct>();
    if (!ShowNamedFileReport(file, *current_record_, *view_, *dialogs_)) {
        return;
    }
    const bool request = current_record_->Kind == "REQ";
    const bool certificate = current_record_->Kind == "CERT";
    SetItemEnabled("mPrint", true);
    for (const char* name : kRequestPrintItems) {
        SetItemEnabled(name, request);
    }
    for (const char* name : kCertificatePrintItems) {
        SetItemEnabled(name, certificate);
    }
}

void TFVelmora::MrequestClick() {
    if (const auto file = dialogs_->ChooseOpenFile(open_filter::kRequests)) {
        LoadFromFile(*file);
    }
}

void TFVelmora::MCertClick() {
    if (const auto file = dialogs_->ChooseOpenFile(open_filter::kCertificates)) {
        LoadFromFile(*file);
    }
}

void TFVelmora::crl1Click() {
    if (const auto file = dialogs_->ChooseOpenFile(open_filter::kCrl)) {
        ExportCrl(*file);
    }
}

void TFVelmora::ExportCrl(const std::filesystem::path& file) {
    view_->Clear();
    TCRLstruct record;
    ExportCrlListing(file, record, *view_);
}

void TFVelmora::base64tobyte1Click() {
    RunPemToDer(*dialogs_);
}

void TFVelmora::DERtoPEM1Click() {
    RunDerToPem(*dialogs_);
}

WindowState TFVelmora::State() {
    return {*view_, *dialogs_, current_record_};
}

void TFVelmora::openP7BClick() {
    WindowState window = State();
    OpenP7bCertificate(window);
}

void TFVelmora::bexpP7bClick() {
    WindowState window = State();
    ExportP7bCertificate(window);
}

void TFVelmora::addMyCertClick() {
    WindowState window = State();
    AddMyCertificate(window);
}

void TFVelmora::delMyCertClick() {
    WindowState window = State();
    DeleteMyCertificate(window);
}

void TFVelmora::OpmycerClick() {
    WindowState window = State();
    ShowMyCertificate(window);
}

void TFVelmora::bExpCertClick() {
    WindowState window = State();
    ExportMyCertificate(window);
}

void TFVelmora::BCA_AddClick() {
    WindowState window = State();
    AddStoreCertificate(window, invoking_item_);
}

void TFVelmora::BopencaClick() {
    WindowState window = State();
    ShowStoreCertificate(window, invoking_item_);
}

void TFVelmora::BDelCACertClick() {
    WindowState window = State();
    DeleteStoreCertificateCommand(window, invoking_item_);
}

void TFVelmora::quitClick() {
    close();
}

std::string TFVelmora::CryptoProLabel() const {
    return CryptoProVersion(inventory_.dpkgRoot) + " " + CryptoProClass(inventory_.dpkgRoot);
}

void TFVelmora::Mcreate_reqClick() {
    if (request_window_ != nullptr) {
        request_window_->Mcreate_reqClick();
    }
}

void TFVelmora::skziInfoClick() {
    view_->Clear();
    AddReportLines(*view_, InstalledCryptoSoftware(inventory_), kBlack, FontStyle::Regular, 12);
}

void TFVelmora::SetContainerManager(TFcont* window) {
    containers_ = window;
    if (auto* dialogs = dynamic_cast<QtDialogs*>(dialogs_.get())) {
        dialogs->SetContainerChooser([window] { return window->ChooseContainer(); });
    }
}

void TFVelmora::contClick() {
    if (containers_ != nullptr) {
        containers_->show();
        containers_->raise();
        containers_->activateWindow();
    }
}

void TFVelmora::SetPrinting(std::unique_ptr<print::DocumentOpener> opener,
                            print::PrintSettings settings) {
    printer_.reset();
    opener_ = std::move(opener);
    printer_ = std::make_unique<print::FormPrinter>(*dialogs_, *opener_, std::move(settings));
}

const TRCstruct& TFVelmora::PrintedRecord() {
    return current_record_ ? *current_record_ : emptyRecord_;
}

namespace {

// The hourglass while a word-processing form is filled and handed over.
class BusyCursor {
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

void TFVelmora::bPrintClick() {
    printer_->bPrintClick(PrintedRecord());
}

void TFVelmora::printVrsClick() {
    printer_->printVrsClick(PrintedRecord());
}

void TFVelmora::WORD1Click() {
    const BusyCursor busy;
    printer_->WORD1Click(PrintedRecord());
}

void TFVelmora::PrintotzyvCerClick() {
    const BusyCursor busy;
    printer_->PrintotzyvCerClick(PrintedRecord());
}

void TFVelmora::Pr_ReQAPContClick() {
    const BusyCursor busy;
    printer_->Pr_ReQAPContClick(PrintedRecord());
}

void TFVelmora::PM_repPopup() {
    QTextEdit* view = GetRichEditFromPopup();
    const bool selected = view->textCursor().hasSelection();
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    const auto set = [this](const char* name, bool enabled) {
        if (auto* action = pm_rep_->findChild<QAction*>(QString::fromUtf8(name))) {
            action->setEnabled(enabled);
        }
    };
    set("itemUndo", view->document()->isUndoAvailable());
    set("itemCut", selected);
    set("itemCopy", selected);
    set("itemDelete", selected);
    set("itemPaste", clipboard != nullptr && clipboard->hasText());
    set("itemSelectAll", true);
}

void TFVelmora::itemUndoClick() {
    GetRichEditFromPopup()->undo();
}

void TFVelmora::itemCutClick() {
    GetRichEditFromPopup()->cut();
}

void TFVelmora::itemCopyClick() {
    GetRichEditFromPopup()->copy();
}

void TFVelmora::itemPasteClick() {
    GetRichEditFromPopup()->paste();
}

void TFVelmora::itemDeleteClick() {
    // The view's own delete: it removes a selection only where the text may
    // be edited, so the read-only report stays as it is.
    QTextEdit* view = GetRichEditFromPopup();
    if (!view->isReadOnly()) {
        view->textCursor().removeSelectedText();
    }
}

void TFVelmora::itemSelectAllClick() {
    GetRichEditFromPopup()->selectAll();
}

void TFVelmora::OpenStartFile(const std::filesystem::path& file) {
    // A CRL handed over by the desktop (double-clicked in the file manager)
    // gets the "crl" command's export; anything else is shown as a request
    // or certificate.
    if (DetectFileKind(file) == file_kind::kCrl) {
        ExportCrl(file);
    } else {
        LoadFromFile(file);
    }
}

void TFVelmora::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Only the first showing opens the start file: restoring a minimised
    // window shows it again.
    if (shown_) {
        return;
    }
    shown_ = true;
    if (start_file_ && windowHandle() != nullptr) {
        // The file is opened once the window is on the screen, so that an
        // error box about it stands over the window rather than alone.
        windowHandle()->installEventFilter(this);
    }
}

bool TFVelmora::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        // Queued: the window paints itself in this expose event first.
        QMetaObject::invokeMethod(this, &TFVelmora::OpenStartFileNow, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFVelmora::OpenStartFileNow() {
    if (!start_file_) {
        return;
    }
    const std::filesystem::path file = *start_file_;
    RunCommand([this, &file] { OpenStartFile(file); });
    if (start_done_) {
        start_done_();
    }
}

void TFVelmora::closeEvent(QCloseEvent* event) {
    current_record_.reset();
    event->accept();
}

}  // namespace velmora
