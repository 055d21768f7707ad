#include "app/signing/batch_signing.h"

#include "app/grid/grid_operations.h"
#include "app/input/file_loader.h"
#include "crypto/keys/container_operations.h"
#include "crypto/signing/sign_file.h"
#include "crypto/signing/verify_signature.h"
#include "crypto/stores/store_operations.h"
#include "encoding/error.h"
#include "encoding/sign_pairs.h"
#include "encoding/text_words.h"
#include "report/build/build_report.h"
#include "report/record/decode_record.h"
#include "report/record/record_lookup.h"

namespace velmora {
namespace {

constexpr int kMessageSize = 12;

void MessageLine(ReportView& view, const std::string& text) {
    AddReportLine(view, text, kBlack, FontStyle::Regular, kMessageSize);
}

// A row the passes act on: the blank row of a grid without data holds no
// file and is passed over.
// A file that cannot be read or written fails its row only: the reason is a
// line of the report and the pass goes on.
template <typename Operation>
bool GuardRow(ReportView& view, Operation operation) {
    try {
        return operation();
    } catch (const Error& e) {
        AddPlainLine(view, e.what());
        return false;
    }
}

bool HasFiles(const StringGrid& grid, int row) {
    return !grid.Cell(row, sign_column::kDataFile).empty() ||
           !grid.Cell(row, sign_column::kSignatureFile).empty();
}

}  // namespace

const std::vector<std::string>& SignGridHeaders() {
    static const std::vector<std::string> headers = {"№", "исходный файл", "файл с подписью",
                                                     "отс. подпись ", "подписан"};
    return headers;
}

BatchSigning::BatchSigning(StringGrid& grid, SigningTarget target) : grid_(grid), target_(target) {}

void BatchSigning::ResetGrid() {
    SetGridHeader(grid_, SignGridHeaders(), true);
}

void BatchSigning::Close() {
    certificate_.reset();
}

void BatchSigning::AddFiles() {
    AddFileNames(target_.dialogs.ChooseOpenFiles(4));
}

void BatchSigning::AddFileNames(const std::vector<std::filesystem::path>& chosen) {
    if (chosen.empty()) {
        return;
    }
    std::vector<std::string> names;
    for (const auto& file : chosen) {
        names.push_back(file.string());
    }
    TListSignFiles pairs;
    BuildSignaturePairs(pairs, names);
    int number = 0;
    for (const TzSignFile& pair : pairs) {
        AppendGridRow(grid_,
                      {std::to_string(++number), pair.dataFile, pair.signatureFile,
                       YesNoOfInt(static_cast<int>(pair.state)), ""},
                      true);
    }
}

bool BatchSigning::LoadCertificate(CertificateSource source) {
    Dialogs& dialogs = target_.dialogs;
    switch (source) {
        case CertificateSource::None:
            return certificate_ != nullptr;
        case CertificateSource::PersonalStore:
            certificate_ = SelectPersonalCertificate(dialogs);
            break;
        case CertificateSource::Container: {
            certificate_.reset();
            if (const auto choice = dialogs.ChooseContainer()) {
                certificate_ = CertificateFromContainer(choice->providerName, choice->providerType,
                                                        choice->containerName, dialogs);
                if (certificate_) {
                    BindCertificateToContainer(dialogs, certificate_, choice->providerName,
                                               choice->providerType, choice->containerName);
                }
            }
            break;
        }
        case CertificateSource::File: {
            const auto file = dialogs.ChooseOpenFile(2);
            if (!file) {
                return certificate_ != nullptr;
            }
            platform::CertContext loaded = LoadCertificateFile(*file);
            if (!loaded) {
                return certificate_ != nullptr;
            }
            certificate_ = std::move(loaded);
            if (const auto choice = dialogs.ChooseContainer()) {
                BindCertificateToContainer(dialogs, certificate_, choice->providerName,
                                           choice->providerType, choice->containerName);
            }
            break;
        }
    }
    return certificate_ != nullptr;
}

void BatchSigning::ShowCertificate() {
    if (!certificate_) {
        return;
    }
    target_.view.Clear();
    target_.currentRecord = std::make_unique<TRCstruct>();
    if (DecodeCertificate(*target_.currentRecord, certificate_, &target_.dialogs)) {
        MessageLine(target_.view, "Имя контейнера - " + ContainerOfCertificate(certificate_));
        BuildReport(*target_.currentRecord, target_.view);
    }
}

void BatchSigning::AppendLines(std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        AddPlainLine(target_.view, line);
    }
    lines.clear();
}

void BatchSigning::RowLine(const char* prefix, int row) {
    MessageLine(target_.view, prefix + grid_.Cell(row, sign_column::kDataFile) + "/" +
                                  grid_.Cell(row, sign_column::kSignatureFile));
}

void BatchSigning::SigningPass(bool want_signed, const RowOperation& operation,
                               const std::function<void(int)>& on_success) {
    target_.view.Clear();
    std::vector<std::string> lines;
    for (int row = 1; row < grid_.RowCount(); ++row) {
        if (!HasFiles(grid_, row)) {
            continue;
        }
        const std::string state = grid_.Cell(row, sign_column::kDetached);
        if (state.empty() == want_signed) {
            RowLine("Пропущено: ", row);
            grid_.SetCell(row, sign_column::kSigned, "пропущен");
            continue;
        }
        const bool done = GuardRow(target_.view, [&] {
            return operation(grid_.Cell(row, sign_column::kDataFile),
                             grid_.Cell(row, sign_column::kSignatureFile), state, lines);
        });
        grid_.SetCell(row, sign_column::kSigned, done ? "Да" : "нет");
        if (done) {
            AppendLines(lines);
            on_success(row);
        }
        target_.view.Repaint();
    }
}

void BatchSigning::SignAll(bool detached) {
    SigningSession session;
    SigningPass(
        false,
        [&](const std::string& data, const std::string& signature, const std::string&,
            std::vector<std::string>& lines) {
            return SignFile(data, signature, certificate_, detached, lines, target_.dialogs,
                            &session);
        },
        [&](int row) { grid_.SetCell(row, sign_column::kDetached, YesNoOfBool(detached)); });
}

void BatchSigning::CoSignAll() {
    SigningPass(
        true,
        [&](const std::string& data, const std::string& signature, const std::string& state,
            std::vector<std::string>& lines) {
            return CoSignFile(data, signature, certificate_, IsYes(state), lines);
        },
        [](int) {});
}

void BatchSigning::VerifyAll() {
    target_.view.Clear();
    std::vector<std::string> lines;
    for (int row = 1; row < grid_.RowCount(); ++row) {
        if (!HasFiles(grid_, row)) {
            continue;
        }
        const std::string state = grid_.Cell(row, sign_column::kDetached);
        if (state.empty()) {
            RowLine("Пропущено: ", row);
            continue;
        }
        RowLine("Проверка: ", row);
        // The lines the check wrote before a file failed it come first.
        std::string failure;
        try {
            VerifySignatureFile(grid_.Cell(row, sign_column::kDataFile),
                                grid_.Cell(row, sign_column::kSignatureFile), IsYes(state), lines,
                                false);
        } catch (const Error& e) {
            failure = e.what();
        }
        AppendLines(lines);
        if (!failure.empty()) {
            AddPlainLine(target_.view, failure);
        }
        target_.view.Repaint();
    }
}

}  // namespace velmora
