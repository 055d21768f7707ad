#include "app/qt/application.h"

#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

#include <QIcon>

#include <cstdio>
#include <exception>

// The resources of the window library; a static library's resources must be
// registered by name.
static void InitIconResource() {
    Q_INIT_RESOURCE(icon);
}

namespace velmora {

VelmoraApplication::VelmoraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("velmora"));
    setApplicationDisplayName(QStringLiteral("Velmora"));
    setDesktopFileName(QStringLiteral("velmora"));
    // The program speaks Russian whatever the session's language: the
    // buttons and captions of Qt's own dialogs too.
    auto* translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(translator);
    }
    InstallFontSubstitutions();
    setWindowIcon(ProgramIcon());
}

QIcon ProgramIcon() {
    // The installed icon, as the desktop's icon theme finds it (the
    // installation puts it under share/icons/hicolor); a program run where
    // it was built carries the same picture in itself.
    InitIconResource();
    return QIcon::fromTheme(QStringLiteral("velmora"),
                            QIcon(QStringLiteral(":/velmora/velmora.svg")));
}

void VelmoraApplication::SetErrorHandler(std::function<void(const std::string&)> handler) {
    error_handler_ = std::move(handler);
}

bool VelmoraApplication::notify(QObject* receiver, QEvent* event) {
    std::string message;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        message = error.what();
    } catch (...) {
        message = "Неизвестная ошибка";
    }
    if (error_handler_) {
        error_handler_(message);
    } else {
        std::fprintf(stderr, "Ошибка: %s\n", message.c_str());
    }
    return false;
}

void InstallFontSubstitutions() {
    // Liberation Sans has the metrics of Arial, and Cyrillic letters.
    const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                              QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("Arial Cyr"), sans);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
}

}  // namespace velmora
