// velmora: the main window. The first argument, when given, is a request or
// certificate file to show (or a CRL to list); further arguments are ignored.
//
//   velmora [FILE]
//   velmora --help | --version
//   velmora --screenshot OUT.png [FILE]   shows FILE, saves a picture of the
//                                         window as OUT.png and ends
//   velmora --screenshot OUT.png --window NAME FILE
//                                         the same for another window or dialog
//                                         shown over FILE: CertificateSelection
//                                         (the certificates of a bundle),
//                                         CertificateReport (a certificate's),
//                                         Fcont (the container manager with the
//                                         containers of the first provider
//                                         found), FCopyKEP (the key-copy dialog),
//                                         FSign (FILE signed in the batch window),
//                                         Verification (FILE, a signature, checked),
//                                         New_req (the request builder with
//                                         the request FILE loaded), New_req/2
//                                         its subject page, New_req/3/1 to
//                                         New_req/3/5 its extension pages
//   velmora --sign FILE...                the batch signing window with the files
//   velmora --verify SIG                  the full check of a signature file
#include "app/input/file_loader.h"
#include "app/qt/application.h"
#include "app/qt/certificate_report_window.h"
#include "app/qt/command_line.h"
#include "app/qt/main_window.h"
#include "app/qt/program_windows.h"
#include "app/request/request_loading.h"
#include "app/signing/signature_commands.h"
#include "crypto/platform/stores/cert_store.h"
#include "ui/dialogs/certificate_selection_dialog.h"
#include "ui/signing/sign_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace {

// The request builder with the request (or certificate) loaded, its
// extensions included, on the page that `name` gives after "New_req":
// nothing for the first page, "/2" for the subject, "/3/N" for an extension
// page.
QWidget* ShowRequestWindow(const std::string& name, const std::filesystem::path& file,
                           velmora::TNew_req& window) {
    int page = 0;
    int extension_page = 0;
    if (name.size() > 8 && name[7] == '/') {
        page = name[8] - '1';
        if (name.size() == 11 && name[9] == '/') {
            extension_page = name[10] - '1';
        }
    }
    if (page < 0 || page > 2 || extension_page < 0 || extension_page > 4) {
        return nullptr;
    }
    window.Mcreate_reqClick();
    window.Run([&window, &file] {
        window.Builder().LoadFile(file);
        velmora::IncludeRecordExtensions(window.Form(), window.Builder().LoadedRecord());
    });
    window.Pages()->setCurrentIndex(page);
    window.ExtensionPages()->setCurrentIndex(extension_page);
    window.Tree()->expandAll();
    return &window;
}

// The window or dialog of that name, shown over the file for a picture;
// null when the name is unknown or the file does not fit it.
QWidget* ShowNamedWindow(const std::string& name, const std::filesystem::path& file,
                         velmora::ProgramWindows& windows) {
    QWidget* parent = &windows.Main();
    if (name.starts_with("New_req")) {
        return ShowRequestWindow(name, file, windows.Request());
    }
    if (name == "Fcont") {
        velmora::TFcont& window = windows.Containers();
        window.show();
        window.findChild<QPushButton*>(QStringLiteral("BSearch"))->click();
        window.SGspscont()->setCurrentCell(0, 0);
        return &window;
    }
    if (name == "FCopyKEP") {
        velmora::TFCopyKEP& dialog = windows.CopyKey();
        dialog.Enewname()->setText(QStringLiteral("Иванов И.И. 2026 - Копия"));
        dialog.show();
        return &dialog;
    }
    if (name == "CertificateSelection") {
        const auto store = velmora::platform::OpenFileStore(file);
        if (!store) {
            return nullptr;
        }
        auto* dialog =
            new velmora::CertificateSelectionDialog(velmora::platform::StoreCertificates(*store),
                                                    &velmora::ShowCertificateReportWindow, parent);
        dialog->show();
        return dialog;
    }
    if (name == "CertificateReport") {
        const velmora::platform::CertContext certificate = velmora::LoadCertificateFile(file);
        if (!certificate) {
            return nullptr;
        }
        QDialog* window = velmora::CreateCertificateReportWindow(parent, certificate).release();
        if (window != nullptr) {
            window->show();
        }
        return window;
    }
    return nullptr;
}

// The pictures of signing: the batch window after a detached signing pass
// over the file with the first personal certificate bound to a key container,
// and the main window with the full check of a signature file.
QWidget* ShowSigningPicture(const std::string& name, const std::filesystem::path& file,
                            velmora::TFVelmora& window) {
    if (name == "Verification") {
        velmora::VerifySignatureFileCommand(window.View(), file);
        return &window;
    }
    velmora::platform::CertContext certificate;
    if (auto store = velmora::platform::OpenSystemStore(
            velmora::platform::StoreLocation::CurrentUser, "MY")) {
        for (auto& candidate : velmora::platform::StoreCertificates(*store)) {
            if (candidate->KeyProv() && !certificate) {
                certificate = candidate;
            }
        }
    }
    // A folder stands for the files in it.
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
        for (const auto& entry : std::filesystem::directory_iterator(file, ec)) {
            files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
    } else {
        files.push_back(file);
    }
    velmora::TFSign* sign = window.SignWindow();
    sign->ShowWithFiles(files, certificate);
    sign->Certselect()->button(0)->setChecked(true);
    sign->cb_detach_sign()->setChecked(true);
    sign->BsignFileClick();
    return sign;
}

// Saves a picture of the widget once it is painted, and ends the program.
void SavePictureAndQuit(QWidget* widget, const QString& out) {
    QTimer::singleShot(0, widget, [widget, out] {
        const bool saved = widget->grab().save(out, "PNG");
        if (!saved) {
            std::fprintf(stderr, "velmora: не удалось сохранить %s\n",
                         QFile::encodeName(out).constData());
        }
        QApplication::exit(saved ? 0 : 1);
    });
}

}  // namespace

int main(int argc, char** argv) {
    // The folder the program was started in, before any dialog can change
    // the current folder.
    std::error_code ec;
    std::filesystem::path start_folder = std::filesystem::current_path(ec);
    const velmora::CommandLine command_line = velmora::ParseCommandLine(argc, argv);
    // Answered without a window, and without needing a display.
    if (command_line.help || command_line.version) {
        const std::string text = command_line.help ? velmora::HelpText() : velmora::VersionText();
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }

    velmora::VelmoraApplication app(argc, argv);
    velmora::ProgramWindows windows(std::move(start_folder));
    velmora::TFVelmora& window = windows.Main();
    app.SetErrorHandler(
        [&window](const std::string& message) { ShowErrorBox(window.WindowDialogs(), message); });
    if (!command_line.window) {
        window.SetStartFile(command_line.file);
    }
    if (command_line.screenshot) {
        const QString out = QFile::decodeName(command_line.screenshot->c_str());
        if (command_line.window) {
            window.show();
            const std::string& name = *command_line.window;
            const std::filesystem::path file = command_line.file.value_or("");
            QWidget* target = name == "FSign" || name == "Verification"
                                  ? ShowSigningPicture(name, file, window)
                                  : ShowNamedWindow(name, file, windows);
            if (target == nullptr) {
                std::fprintf(stderr, "velmora: нельзя показать окно %s\n",
                             command_line.window->c_str());
                return 1;
            }
            SavePictureAndQuit(target, out);
        } else if (command_line.file) {
            // The file is opened once the window is on the screen; the
            // picture is taken after that.
            window.SetStartDone([&window, out] { SavePictureAndQuit(&window, out); });
        } else {
            SavePictureAndQuit(&window, out);
        }
    }
    window.show();
    // The desktop entry's actions: the batch window with the files to sign,
    // or the check of a signature file.
    if (!command_line.signFiles.empty()) {
        window.SignWindow()->ShowWithFiles(command_line.signFiles);
    }
    if (command_line.verifyFile) {
        window.RunCommand(
            [&] { velmora::VerifySignatureFileCommand(window.View(), *command_line.verifyFile); });
    }
    return app.exec();
}
