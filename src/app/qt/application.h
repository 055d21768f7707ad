// The application object: Russian texts for Qt's own dialogs, the fonts the
// window asks for, and the last line of defence against an error that
// escapes a handler.
#pragma once

#include <QApplication>
#include <QIcon>

#include <functional>
#include <string>

namespace velmora {

class VelmoraApplication : public QApplication {
  public:
    VelmoraApplication(int& argc, char** argv);

    // Who shows an error that escaped an event handler; until one is set,
    // the error goes to the standard error stream.
    void SetErrorHandler(std::function<void(const std::string&)> handler);

    // Delivers the event; an exception thrown while handling it is shown
    // through the error handler and the program goes on.
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    std::function<void(const std::string&)> error_handler_;
};

// The program's icon: the installed one (desktop/velmora.svg, installed
// into the hicolor theme), or the same picture built into the program when
// it is not installed. Every window of the program shows it.
QIcon ProgramIcon();

// Font names of the window's design that this system may lack, mapped onto
// metric-compatible fonts that it has. Called once, before any window exists.
void InstallFontSubstitutions();

}  // namespace velmora
