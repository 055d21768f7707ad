// The main window: the menu tree, the report view and the commands that
// write into it.
#pragma once

#include "app/commands/store_commands.h"
#include "app/inventory/installed_software.h"
#include "print/forms/form_printer.h"
#include "report/record/record.h"
#include "report/view/dialogs.h"
#include "report/view/report_view.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QAction;
class QMenu;
class QTextEdit;

namespace velmora {

class QtReportView;
class TFcont;
class TFSign;
class TNew_req;

class TFVelmora : public QMainWindow {
    Q_OBJECT

  public:
    // The start folder is the process's current folder when the program
    // started. Without dialogs of its own the window shows real ones.
    explicit TFVelmora(std::filesystem::path start_folder,
                       std::unique_ptr<Dialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~TFVelmora() override;

    // The file named on the command line, opened once the window is first
    // on the screen (so that an error box about it stands over the window).
    void SetStartFile(std::optional<std::filesystem::path> file) { start_file_ = std::move(file); }
    // Called after the start file was opened (the screenshot mode saves its
    // picture then).
    void SetStartDone(std::function<void()> done) { start_done_ = std::move(done); }

    // Where the inventory of installed software looks.
    void SetInventorySources(InventorySources sources) { inventory_ = std::move(sources); }

    // How the print commands find their templates, where they put the filled
    // copies and what shows them (xdg-open unless replaced).
    void SetPrinting(std::unique_ptr<print::DocumentOpener> opener, print::PrintSettings settings);
    const print::FormPrinter& Printer() const { return *printer_; }

    const std::filesystem::path& StartFolder() const { return start_folder_; }
    // The request or certificate the view shows; null before the first load.
    const TRCstruct* CurrentRecord() const { return current_record_.get(); }
    ReportView& View();
    Dialogs& WindowDialogs() { return *dialogs_; }
    QTextEdit* Rep() const { return rep_; }
    QMenu* PopupMenu() const { return pm_rep_; }
    // A menu item (a submenu's own item too) by its control name; null when
    // there is none.
    QAction* MenuItem(std::string_view name) const;

    // What the commands act on: the view, the dialogs and the current record.
    WindowState State();

    // The container manager that "Контейнера" shows and that commands needing
    // a container choice show modally.
    void SetContainerManager(TFcont* window);
    // The request builder that "Создать" / "Запрос" shows.
    void SetRequestWindow(TNew_req* window) { request_window_ = window; }
    // The installed CryptoPro CSP's version and class, as the request builder
    // shows them.
    std::string CryptoProLabel() const;

    // The control name of the menu item whose command runs or ran last.
    const std::string& InvokingItem() const { return invoking_item_; }

    // Runs a command; an error it raises is shown in the error box and the
    // window goes on.
    void RunCommand(const std::function<void()>& command);

    // Shows a request or certificate file: the file name, then its report,
    // or the line "Файл не поддерживается". A successful load sets the print
    // items by the kind of the record.
    void LoadFromFile(const std::filesystem::path& file);

    // The menu commands.
    void MrequestClick();
    void MCertClick();
    void crl1Click();
    void openP7BClick();
    void bexpP7bClick();
    void addMyCertClick();
    void delMyCertClick();
    void OpmycerClick();
    void bExpCertClick();
    // Shared by the CA and root stores' items: the store follows the name of
    // the item that invoked the handler (InvokingItem).
    void BCA_AddClick();
    void BopencaClick();
    void BDelCACertClick();
    void base64tobyte1Click();
    void DERtoPEM1Click();
    void quitClick();
    void skziInfoClick();
    void contClick();
    // "Подпись...": every signing item shows the batch signing window; the
    // two "Проверить" items check an attached and a detached signature.
    void BsignFileClick();
    void verifySignClick();
    void N8Click();
    // "инфо" / "Проверить сертификат".
    void BcertValidClick();

    TFSign* SignWindow() const { return sign_window_; }
    void bPrintClick();
    void printVrsClick();
    void WORD1Click();
    void PrintotzyvCerClick();
    void Pr_ReQAPContClick();
    void Mcreate_reqClick();

    // The popup menu of the report view.
    QTextEdit* GetRichEditFromPopup() const { return rep_; }
    void PM_repPopup();
    void itemUndoClick();
    void itemCutClick();
    void itemCopyClick();
    void itemPasteClick();
    void itemDeleteClick();
    void itemSelectAllClick();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenu();
    void BuildPopupMenu();
    void SetItemEnabled(std::string_view name, bool enabled);
    void ExportCrl(const std::filesystem::path& file);
    void OpenStartFile(const std::filesystem::path& file);
    void OpenStartFileNow();
    // The record the print commands fill their forms from: the current one,
    // or an empty one before anything was loaded.
    const TRCstruct& PrintedRecord();

    std::filesystem::path start_folder_;
    std::unique_ptr<Dialogs> dialogs_;
    QTextEdit* rep_ = nullptr;
    QMenu* pm_rep_ = nullptr;
    std::unique_ptr<QtReportView> view_;
    std::unique_ptr<TRCstruct> current_record_;
    std::optional<std::filesystem::path> start_file_;
    std::function<void()> start_done_;
    bool shown_ = false;
    std::string invoking_item_;
    InventorySources inventory_;
    TFcont* containers_ = nullptr;
    TFSign* sign_window_ = nullptr;
    std::unique_ptr<print::DocumentOpener> opener_;
    std::unique_ptr<print::FormPrinter> printer_;
    TRCstruct emptyRecord_;
    TNew_req* request_window_ = nullptr;
};

}  // namespace velmora
