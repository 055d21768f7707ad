// Where the form templates are: beside the executable first (a customer's
// own templates), then the program's installed data folder (the samples
// installed with it).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::print {

// The forms by the names the menu commands give them.
inline constexpr std::string_view kPersonCertificateForm = "cer.xls";
inline constexpr std::string_view kEntityCertificateForm = "cerUl.xls";
inline constexpr std::string_view kVrsCertificateForm = "cervrs.xls";
inline constexpr std::string_view kRequestForm = "keyexch1.dot";
inline constexpr std::string_view kRevocationForm = "otzyv.dotx";
inline constexpr std::string_view kAccessPointForm = "reqAPkont.dot";

// The file names a form's template is looked for under, in order: the Office
// Open XML template and document names of its base name, then the form's
// own name, which a customer may have kept for a template converted to Office
// Open XML ("cer.xls" gives cer.xltx, cer.xlsx, cer.xls).
std::vector<std::string> TemplateNames(std::string_view formName);

// The first existing file of those names, folder by folder.
std::optional<std::filesystem::path> FindTemplate(
    std::string_view formName, const std::vector<std::filesystem::path>& folders);

// The message for a form whose template is nowhere.
std::string TemplateNotFoundMessage(std::string_view formName);

// The executable's folder, the installed data folder beside it
// (../share/velmora/templates) and the data folder the program was built
// for.
std::vector<std::filesystem::path> DefaultTemplateFolders();

}  // namespace velmora::print
