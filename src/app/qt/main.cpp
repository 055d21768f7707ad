// velmora: the main window. The first argument, when given, is a request or
// certificate file to show (or a CRL to list); further arguments are ignored.
//
//   velmora [FILE]
//   velmora --screenshot OUT.png [FILE]   shows FILE, saves a picture of the
//                                         window as OUT.png and ends
#include "app/qt/application.h"
#include "app/qt/certificate_report_window.h"
#include "app/qt/command_line.h"
#include "app/qt/main_window.h"
#include "ui/dialogs/certificate_selection_dialog.h"

#include <QFile>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv) {
    // The folder the program was started in, before any dialog can change
    // the current folder.
    std::error_code ec;
    std::filesystem::path start_folder = std::filesystem::current_path(ec);
    const velmora::CommandLine command_line = velmora::ParseCommandLine(argc, argv);

    velmora::VelmoraApplication app(argc, argv);
    velmora::TFVelmora window(std::move(start_folder));
    app.SetErrorHandler(
        [&window](const std::string& message) { ShowErrorBox(window.WindowDialogs(), message); });
    // Every store command chooses its certificate in the selection dialog.
    velmora::QtCertificateSelector selector(&window, &velmora::ShowCertificateReportWindow);
    velmora::platform::ScopedCertificateSelector installed(&selector);
    window.SetStartFile(command_line.file);
    window.show();
    if (command_line.screenshot) {
        const QString out = QFile::decodeName(command_line.screenshot->c_str());
        QTimer::singleShot(0, &window, [&window, out] {
            const bool saved = window.grab().save(out, "PNG");
            if (!saved) {
                std::fprintf(stderr, "velmora: не удалось сохранить %s\n",
                             QFile::encodeName(out).constData());
            }
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
