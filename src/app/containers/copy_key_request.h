// The key-copy dialog as the container manager asks it: the new container's
// name, proposed and edited, and whether the certificate goes along.
#pragma once

#include <optional>
#include <string>

namespace velmora {

struct CopyKeyAnswer {
    std::string newName;
    bool copyCertificate = false;
};

class CopyKeyDialog {
  public:
    virtual ~CopyKeyDialog() = default;
    // Shows the dialog with the name proposed; nothing when it is cancelled.
    // The certificate choice keeps its state from one use to the next.
    virtual std::optional<CopyKeyAnswer> AskCopy(const std::string& proposed_name) = 0;
};

}  // namespace velmora
