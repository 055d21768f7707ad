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
//                                         found), FCopyKEP (the key-copy dialog)
#include "app/input/file_loader.h"
#include "app/qt/application.h"
#include "app/qt/certificate_report_window.h"
#include "app/qt/command_line.h"
#include "app/qt/program_windows.h"
#include "crypto/platform/stores/cert_store.h"
#include "ui/dialogs/certificate_selection_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <QDialog>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace {

// The window or dialog of that name, shown over the file for a picture;
// null when the name is unknown or the file does not fit it.
QWidget* ShowNamedWindow(const std::string& name, const std::filesystem::path& file,
                         velmora::ProgramWindows& windows) {
    QWidget* parent = &windows.Main();
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
            QWidget* target =
                ShowNamedWindow(*command_line.window, command_line.file.value_or(""), windows);
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
    return app.exec();
}
