// The batch signing window without the window: its file grid, its loaded
// certificate and its passes. The Qt window and the tests drive this model;
// each pass writes its lines into the main window's report view.
#pragma once

#include "app/grid/string_grid.h"
#include "crypto/platform/certs/cert_context.h"
#include "report/record/record.h"
#include "report/view/dialogs.h"
#include "report/view/report_view.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

// The columns of the file grid.
namespace sign_column {
inline constexpr int kNumber = 0;
inline constexpr int kDataFile = 1;
inline constexpr int kSignatureFile = 2;
inline constexpr int kDetached = 3;  // "Да" detached, "Нет" attached, empty: not signed
inline constexpr int kSigned = 4;    // "Да", "нет" or "пропущен"
}  // namespace sign_column

// The headers of the file grid (the fourth ends in a blank).
const std::vector<std::string>& SignGridHeaders();

// The items of the certificate source ("Сертификат"): none selected is -1.
enum class CertificateSource { None = -1, PersonalStore = 0, Container = 1, File = 2 };

// What the passes write to besides the grid: the main window's report view,
// its dialogs and its current record.
struct SigningTarget {
    ReportView& view;
    Dialogs& dialogs;
    std::unique_ptr<TRCstruct>& currentRecord;
};

class BatchSigning {
  public:
    BatchSigning(StringGrid& grid, SigningTarget target);

    // The window is shown: the grid is reset to its header and one blank row.
    void ResetGrid();
    // The window closes: the loaded certificate is freed.
    void Close();

    // "Добавить": files chosen in the open dialog (several at once) are paired
    // with their signature files and added as rows numbered from 1.
    void AddFiles();
    // The same for files named otherwise (the desktop's "Подписать").
    void AddFileNames(const std::vector<std::filesystem::path>& files);

    // "Загрузить": the certificate from the selected source. Gives whether
    // the certificate button is to be enabled.
    bool LoadCertificate(CertificateSource source);
    // The certificate button: the certificate's report in the main window,
    // after the name of its container.
    void ShowCertificate();

    // "подписать", "Соподпись", "Проверить": one pass over every row.
    void SignAll(bool detached);
    void CoSignAll();
    void VerifyAll();

    const platform::CertContext& Certificate() const { return certificate_; }
    void SetCertificate(platform::CertContext certificate) {
        certificate_ = std::move(certificate);
    }

  private:
    // One signing or co-signing of a row: data file, signature file, the
    // row's signature state, the pass's message list.
    using RowOperation = std::function<bool(const std::string&, const std::string&,
                                            const std::string&, std::vector<std::string>&)>;
    // Rows whose signature state is empty (not signed) or not, as
    // `want_signed` says, get the operation; the others are skipped.
    void SigningPass(bool want_signed, const RowOperation& operation,
                     const std::function<void(int)>& on_success);
    void AppendLines(std::vector<std::string>& lines);
    void RowLine(const char* prefix, int row);

    StringGrid& grid_;
    SigningTarget target_;
    platform::CertContext certificate_;
};

}  // namespace velmora
