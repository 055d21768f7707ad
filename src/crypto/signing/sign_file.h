// Signing a file and adding a signer to a signature file: PKCS#7 signed
// messages over whole files, attached or detached, with one signer each.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/messages/crypt_message.h"
#include "encoding/atomic_file.h"
#include "report/view/dialogs.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The signer of a pass over many files, kept from one file to the next as
// the platform caches an acquired private key: its container is opened and
// its password asked once, not once a file.
struct SigningSession {
    platform::CertContext certificate;
    std::optional<platform::MessageSigner> signer;
    // The output folders already swept of dead writers' leftovers.
    LeftoverSweeps sweeps;
};

// Signs the data file with the certificate's private key and writes the
// message to the output file (replacing it atomically). Progress and error
// lines go to `lines`; a missing certificate and an unusable key are shown
// in error boxes. True when the output file was written. A file that cannot
// be read or written raises Error.
bool SignFile(const std::filesystem::path& data_file, const std::filesystem::path& output_file,
              const platform::CertContext& certificate, bool detached,
              std::vector<std::string>& lines, Dialogs& dialogs, SigningSession* session = nullptr);

// Adds the certificate's signer (and the certificate) to the signature file,
// signing the data file's content (detached) or the content the message
// carries (attached), and replaces the signature file atomically: a failure
// leaves it byte for byte as it was. True when it was rewritten.
bool CoSignFile(const std::filesystem::path& data_file, const std::filesystem::path& signature_file,
                const platform::CertContext& certificate, bool detached,
                std::vector<std::string>& lines);

}  // namespace velmora
