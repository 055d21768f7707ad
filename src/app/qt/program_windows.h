// The program's windows, made once at start and kept to the end: the main
// window, the container manager, the request builder and the key-copy
// dialog, and the hooks
// through which the provider asks for passwords and the stores for a
// certificate choice.
#pragma once

#include "app/qt/main_window.h"
#include "crypto/platform/keys/password_prompt.h"
#include "crypto/platform/stores/cert_selector.h"
#include "ui/containers/container_window.h"
#include "ui/containers/copy_key_window.h"
#include "ui/dialogs/certificate_selection_dialog.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/request/request_window.h"

#include <filesystem>

namespace velmora {

class ProgramWindows {
  public:
    explicit ProgramWindows(std::filesystem::path start_folder);
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TFVelmora& Main() { return main_; }
    TFcont& Containers() { return containers_; }
    TFCopyKEP& CopyKey() { return copy_key_; }
    TNew_req& Request() { return request_; }

  private:
    TFVelmora main_;
    TFCopyKEP copy_key_;
    TFcont containers_;
    TNew_req request_;
    QtPasswordPrompt password_prompt_;
    platform::ScopedPasswordPrompt installed_prompt_;
    QtCertificateSelector selector_;
    platform::ScopedCertificateSelector installed_selector_;
};

}  // namespace velmora
