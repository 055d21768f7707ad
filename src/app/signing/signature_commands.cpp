#include "app/signing/signature_commands.h"

#include "app/input/file_loader.h"
#include "crypto/chain/check_chain.h"
#include "crypto/signing/verify_signature.h"

#include <string>
#include <vector>

namespace velmora {
namespace {

constexpr int kAllFiles = 4;
constexpr int kCertificates = 2;

void AppendLines(ReportView& view, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        AddPlainLine(view, line);
    }
}

}  // namespace

void VerifyAttachedSignatureCommand(ReportView& view, Dialogs& dialogs) {
    view.Clear();
    const auto signature = dialogs.ChooseOpenFileTitled(kAllFiles, "Укажите подписанный файл", {});
    if (!signature) {
        return;
    }
    const auto content =
        dialogs.ChooseSaveFileTitled(signature->parent_path(), signature->stem().string(),
                                     "Укажите имя файла для исходных данных");
    if (!content) {
        return;
    }
    std::vector<std::string> lines;
    VerifySignatureFile(*content, *signature, false, lines, true);
    AppendLines(view, lines);
}

void VerifyDetachedSignatureCommand(ReportView& view, Dialogs& dialogs) {
    const auto data = dialogs.ChooseOpenFileTitled(kAllFiles, "Укажите подписанный файл", {});
    if (!data) {
        return;
    }
    std::filesystem::path proposed = *data;
    proposed += ".sig";
    const auto signature =
        dialogs.ChooseOpenFileTitled(kAllFiles, "Укажите файл с подписями", proposed);
    if (!signature) {
        return;
    }
    view.Clear();
    std::vector<std::string> lines;
    VerifySignatureFile(*data, *signature, true, lines, true);
    AppendLines(view, lines);
}

void CheckCertificateCommand(ReportView& view, Dialogs& dialogs) {
    view.Clear();
    const auto file = dialogs.ChooseOpenFile(kCertificates);
    if (!file) {
        return;
    }
    const platform::CertContext certificate = LoadCertificateFile(*file);
    if (!certificate) {
        return;
    }
    std::vector<std::string> lines;
    if (CheckCertificateChain(certificate, std::nullopt, lines)) {
        AppendLines(view, lines);
    }
}

void VerifySignatureFileCommand(ReportView& view, const std::filesystem::path& signature_file) {
    view.Clear();
    std::filesystem::path data = signature_file;
    data.replace_extension();
    std::error_code ignored;
    const bool detached =
        signature_file.extension() == ".sig" && std::filesystem::is_regular_file(data, ignored);
    std::vector<std::string> lines;
    VerifySignatureFile(detached ? data : std::filesystem::path(), signature_file, detached, lines,
                        true);
    AppendLines(view, lines);
}

}  // namespace velmora
