// The key-copy dialog: the new container's name and whether the
// certificate is copied too.
#pragma once

#include "app/containers/copy_key_request.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora {

class TFCopyKEP : public QDialog, public CopyKeyDialog {
    Q_OBJECT

  public:
    explicit TFCopyKEP(QWidget* parent = nullptr);

    std::optional<CopyKeyAnswer> AskCopy(const std::string& proposed_name) override;

    QLineEdit* Enewname() const { return enewname_; }
    QCheckBox* CB_cop_cert() const { return cb_cop_cert_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* label_ = nullptr;
    QLineEdit* enewname_ = nullptr;
    QCheckBox* cb_cop_cert_ = nullptr;
    QPushButton* bok_ = nullptr;
    QPushButton* bcancel_ = nullptr;
};

}  // namespace velmora
