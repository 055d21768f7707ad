// The request builder window: the form's three pages (general data, the
// subject, the extensions with their five sub-pages), the menu "Запрос" and
// the two-second key-identifier timer. Every command runs in the request
// form model shared with velmora-cli; the window copies its controls into
// the form before a command and shows the form again afterwards. The four
// grids are the form's grids themselves.
#pragma once

#include "app/request/request_builder.h"
#include "app/request/request_form.h"
#include "ui/widgets/qt_string_grid.h"

#include <QMainWindow>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace velmora {

// No signals or slots of its own (its connections are lambdas), so the class
// needs no meta-object.
class TNew_req : public QMainWindow {
  public:
    // The window's client area, below the menu bar.
    static constexpr int kClientWidth = 967;
    static constexpr int kClientHeight = 577;

    // `crypto_pro_label` gives the installed CryptoPro CSP's version and
    // class for Label16.
    TNew_req(Dialogs& dialogs, std::filesystem::path start_folder,
             std::function<std::string()> crypto_pro_label, QWidget* parent = nullptr);
    ~TNew_req() override;

    RequestForm& Form() { return *form_; }
    RequestBuilder& Builder() { return *builder_; }

    // The main window's "Создать" / "Запрос": the provider list with the
    // [75] provider chosen, e_SrEP and Label16, then the window shown.
    void Mcreate_reqClick();

    // Loads a request or certificate file as "Загрузить" does once the file
    // is chosen.
    void LoadFile(const std::filesystem::path& file);

    // Runs a command on the form: the controls read into it first and shown
    // from it afterwards; an error it raises is shown in the error box.
    void Run(const std::function<void()>& command);

    // Controls by their names, for the tests and the pictures.
    QLineEdit* Edit(const char* name) const;
    QCheckBox* CheckBox(const char* name) const;
    QPushButton* Button(const char* name) const;
    QComboBox* ComboBox(const char* name) const;
    QTableWidget* Table(const char* name) const;
    QListWidget* CheckList(const char* name) const;
    QTabWidget* Pages() const { return pages_; }
    QTabWidget* ExtensionPages() const { return extension_pages_; }
    QTreeWidget* Tree() const { return tree_; }
    QTimer* Timer1() const { return timer1_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildGeneralPage(QWidget* page);
    void BuildSubjectPage(QWidget* page);
    void BuildExtensionPages();
    QLineEdit* AddEdit(QWidget* parent, const char* name, int x, int y, int width);
    QLabel* AddLabel(QWidget* parent, const char* name, const char* text, int x, int y, int width);
    QCheckBox* AddCheckBox(QWidget* parent, const char* name, const char* text, int x, int y,
                           int width);
    QPushButton* AddButton(QWidget* parent, const char* name, const char* text, int x, int y,
                           int width);
    QTableWidget* AddGrid(QWidget* parent, const char* name, int columns, int x, int y, int width,
                          int height);
    // A grid page's drop-down of OIDs with its "Добавить", "Изменить" and
    // "Удалить" buttons, each running its command of the form.
    struct OidRow {
        const char* list;
        const char* add;
        const char* set;
        const char* del;
        QStringList entries;
        void (RequestBuilder::*onAdd)(const std::string&);
        void (RequestBuilder::*onSet)(const std::string&);
        void (RequestBuilder::*onDelete)();
    };
    void AddOidRow(QWidget* page, int y, int list_width, const OidRow& row);
    QListWidget* AddCheckList(QWidget* parent, const char* name, int x, int y);
    // Connects a button to a command of the form.
    void OnClick(const char* button, std::function<void()> command);

    void ReadControls();
    void ShowControls();
    // The catalogue tree's new nodes added under the widget tree.
    void ShowCatalogue();
    void TRee_KEYUSAGEClick(QTreeWidgetItem* item);
    void avtoSetClick();

    Dialogs& dialogs_;
    QTabWidget* pages_ = nullptr;
    QTabWidget* extension_pages_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QTimer* timer1_ = nullptr;
    QPlainTextEdit* org_ = nullptr;
    QComboBox* title_asfk_ = nullptr;
    QComboBox* set_csp_ = nullptr;
    std::map<std::string, QLineEdit*> edits_;
    std::map<std::string, QCheckBox*> checks_;
    std::map<std::string, QLabel*> labels_;
    std::map<std::string, std::unique_ptr<QtStringGrid>> grids_;
    // While the controls are being shown, their change signals are not commands.
    bool showing_ = false;
    bool centred_ = false;
    std::unique_ptr<RequestForm> form_;
    std::unique_ptr<RequestBuilder> builder_;
};

}  // namespace velmora
