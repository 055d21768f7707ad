// The batch signing window: a list of files signed, co-signed or verified in
// one pass with one loaded certificate. The window holds the controls; the
// commands are those of BatchSigning, which writes into the main window's
// report view.
#pragma once

#include "app/signing/batch_signing.h"
#include "ui/widgets/qt_string_grid.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace velmora {

class TFSign : public QWidget {
    Q_OBJECT

  public:
    TFSign(ReportView& view, Dialogs& dialogs, std::unique_ptr<TRCstruct>& current_record,
           QWidget* parent = nullptr);
    ~TFSign() override;

    BatchSigning& Model() { return *model_; }

    // Shows the window with these files in the grid (the desktop's
    // "Подписать"), and with the certificate when one is given.
    void ShowWithFiles(const std::vector<std::filesystem::path>& files,
                       platform::CertContext certificate = nullptr);

    // The handlers of the controls.
    void addFClick();
    void clearClick();
    void bprovsignClick();
    void BsignFileClick();
    void BcosignClick();
    void BLoadCertClick();
    void SB_CERTClick();

    // The controls, by their names.
    QTableWidget* SPS_FILES() const { return table_; }
    QCheckBox* cb_detach_sign() const { return detached_; }
    QButtonGroup* Certselect() const { return source_; }
    QToolButton* SB_CERT() const { return show_certificate_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QPushButton* AddButton(const char* name, const char* caption, void (TFSign::*handler)());
    void Run(void (TFSign::*handler)());

    Dialogs& dialogs_;
    QTableWidget* table_ = nullptr;
    QCheckBox* detached_ = nullptr;
    QGroupBox* source_box_ = nullptr;
    QButtonGroup* source_ = nullptr;
    QToolButton* show_certificate_ = nullptr;
    std::unique_ptr<QtStringGrid> grid_;
    std::unique_ptr<BatchSigning> model_;
};

}  // namespace velmora
