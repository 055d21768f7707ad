// The application object: Russian texts for Qt's own dialogs, the fonts the
// window asks for, and the last line of defence against an error that
// escapes a handler.
#pragma once

#include <QApplication>

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

// Font names of the window's design that this system may lack, mapped onto
// metric-compatible fonts that it has. Called once, before any window exists.
void InstallFontSubstitutions();

}  // namespace velmora
