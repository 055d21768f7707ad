// Verification of every signer of a signature file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

// Checks each signer in turn and writes a line for each; the first signer
// that fails ends the check. The full form also lists each signer's name,
// serial number and signing time, checks the signer's chain at that time and,
// for an attached signature and a data file name, writes the signed content
// to that file (replacing it atomically). True when every signer verified
// (and the content was written where asked). A file that cannot be read or
// written raises Error. When `chains_trusted` is given, it says whether every
// chain the full form checked was built without errors.
bool VerifySignatureFile(const std::filesystem::path& data_file,
                         const std::filesystem::path& signature_file, bool detached,
                         std::vector<std::string>& lines, bool full,
                         bool* chains_trusted = nullptr);

}  // namespace velmora
