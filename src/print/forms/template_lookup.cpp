#include "print/forms/template_lookup.h"

#include "app/input/program_folders.h"
#include "print/package/ascii_case.h"

#include <algorithm>
#include <array>
#include <system_error>

#ifndef VELMORA_TEMPLATE_DIR
#define VELMORA_TEMPLATE_DIR "/usr/local/share/velmora/templates"
#endif

namespace velmora::print {
namespace {

struct Family {
    std::string_view legacy;
    std::array<std::string_view, 2> ooxml;
};

constexpr std::array<Family, 6> kFamilies{{
    {".xls", {".xltx", ".xlsx"}},
    {".xlt", {".xltx", ".xlsx"}},
    {".xlsx", {".xltx", ".xlsx"}},
    {".dot", {".dotx", ".docx"}},
    {".doc", {".dotx", ".docx"}},
    {".dotx", {".dotx", ".docx"}},
}};

}  // namespace

std::vector<std::string> TemplateNames(std::string_view formName) {
    const std::size_t dot = formName.rfind('.');
    const std::string_view stem = formName.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : formName.substr(dot);
    std::vector<std::string> names;
    for (const Family& family : kFamilies) {
        if (SameName(family.legacy, extension)) {
            for (std::string_view ooxml : family.ooxml) {
                names.push_back(std::string(stem) + std::string(ooxml));
            }
        }
    }
    if (std::find(names.begin(), names.end(), formName) == names.end()) {
        names.emplace_back(formName);
    }
    return names;
}

std::optional<std::filesystem::path> FindTemplate(
    std::string_view formName, const std::vector<std::filesystem::path>& folders) {
    const std::vector<std::string> names = TemplateNames(formName);
    for (const std::filesystem::path& folder : folders) {
        for (const std::string& name : names) {
            std::error_code error;
            const std::filesystem::path candidate = folder / name;
            if (std::filesystem::is_regular_file(candidate, error)) {
                return candidate;
            }
        }
    }
    return std::nullopt;
}

std::string TemplateNotFoundMessage(std::string_view formName) {
    return "Can't find the file \"" + TemplateNames(formName).front() + "\"";
}

std::vector<std::filesystem::path> DefaultTemplateFolders() {
    return ProgramFileFolders("templates", VELMORA_TEMPLATE_DIR);
}

}  // namespace velmora::print
