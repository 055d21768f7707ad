// The PEM/DER conversion commands: the source is chosen in the shared open
// dialog, the target in the save dialog, preset beside the source under the
// source's name with a prefix.
#pragma once

#include "report/view/dialogs.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr std::string_view kDerPrefix = "DER-";
inline constexpr std::string_view kPemPrefix = "PEM-";

// The name proposed for a conversion's result: the prefix and the source's
// file name, extension kept ("DER-" and /keys/a.pem give DER-a.pem).
std::string ProposedConversionName(std::string_view prefix, const std::filesystem::path& source);

// The message shown after a conversion: "Создан файл - " and the target.
std::string CreatedFileMessage(const std::filesystem::path& target);

// "PEM to DER": base64 text, armoured or bare, to its bytes. A conversion
// that fails throws Error naming the step, the file and the reason.
void RunPemToDer(Dialogs& dialogs);

// "DER to PEM": any file's bytes to one line of base64 text.
void RunDerToPem(Dialogs& dialogs);

}  // namespace velmora
