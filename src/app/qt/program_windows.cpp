#include "app/qt/program_windows.h"

#include "app/qt/certificate_report_window.h"

namespace velmora {

ProgramWindows::ProgramWindows(std::filesystem::path start_folder)
    : main_(std::move(start_folder)),
      copy_key_(&main_),
      containers_(main_.State().view, main_.State().dialogs, main_.State().currentRecord, copy_key_,
                  &main_),
      request_(
          main_.WindowDialogs(), main_.StartFolder(), [this] { return main_.CryptoProLabel(); },
          &main_),
      password_prompt_(&main_),
      installed_prompt_(&password_prompt_),
      selector_(&main_, &ShowCertificateReportWindow),
      installed_selector_(&selector_) {
    main_.SetContainerManager(&containers_);
    main_.SetRequestWindow(&request_);
}

}  // namespace velmora
