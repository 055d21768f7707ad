#include "app/request/oid_catalogue.h"

#include "app/input/program_folders.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/bar_lines.h"
#include "encoding/text_file.h"

#include <algorithm>
#include <system_error>

#ifndef VELMORA_DATA_DIR
#define VELMORA_DATA_DIR "/usr/local/share/velmora"
#endif

namespace velmora {

CatalogueNode& CatalogueNode::Child(std::string_view caption, bool& added) {
    const auto [found, is_new] = index_.try_emplace(std::string(caption), children_.size());
    if (is_new) {
        children_.emplace_back(std::string(caption));
    }
    added = is_new;
    return children_[found->second];
}

void CatalogueTree::AddLines(std::span<const std::string> lines) {
    for (const std::string& line : lines) {
        const int bars = CountBars(line);
        CatalogueNode* node = &root_;
        std::string_view rest = line;
        // Fields 0 .. bars - 2 are the path; field bars - 1 is the OID.
        for (int field = 0; field < bars - 1; ++field) {
            const std::size_t bar = rest.find('|');
            bool added = false;
            node = &node->Child(rest.substr(0, bar), added);
            count_ += added ? 1 : 0;
            rest.remove_prefix(bar + 1);
        }
    }
}

std::optional<std::vector<std::string>> ReadCatalogue(const std::filesystem::path& file,
                                                      std::string& error) {
    std::optional<std::vector<std::string>> lines = ReadTextFileLines(file);
    if (!lines) {
        std::error_code ignored;
        const bool exists = std::filesystem::exists(file, ignored);
        error = "Не удаётся открыть файл \"" + file.string() + "\". " +
                platform::ErrorMessageText(exists ? platform::error::kAccessDenied
                                                  : platform::error::kFileNotFound);
        return std::nullopt;
    }
    if (!AllLinesEndWithBar(*lines)) {
        error = kLinesWithoutBar;
        return std::nullopt;
    }
    if (!AllFieldsFilled(*lines)) {
        error = kEmptyCatalogueFields;
        return std::nullopt;
    }
    return lines;
}

std::string CatalogueOid(std::span<const std::string> lines, std::span<const std::string> path) {
    std::vector<int> columns(path.size());
    for (std::size_t k = 0; k < columns.size(); ++k) {
        columns[k] = static_cast<int>(k);
    }
    // Only a line of the leaf's own depth holds its OID after the path: a
    // shorter line whose OID field happens to equal the leaf's caption would
    // otherwise match first and give nothing.
    const int bars = static_cast<int>(path.size()) + 1;
    for (const std::string& line : lines) {
        if (CountBars(line) == bars) {
            std::string oid = LookupBarTable(std::span(&line, 1), columns, path, bars - 1);
            if (!oid.empty()) {
                return oid;
            }
        }
    }
    return {};
}

std::filesystem::path FindCatalogue(const std::filesystem::path& start_folder,
                                    std::span<const std::filesystem::path> program_folders) {
    std::error_code error;
    const std::filesystem::path own = start_folder / kCatalogueFileName;
    if (std::filesystem::is_regular_file(own, error)) {
        return own;
    }
    for (const std::filesystem::path& folder : program_folders) {
        const std::filesystem::path candidate = folder / kCatalogueFileName;
        if (std::filesystem::is_regular_file(candidate, error)) {
            return candidate;
        }
    }
    return own;
}

std::vector<std::filesystem::path> ProgramDataFolders() {
    return ProgramFileFolders({}, VELMORA_DATA_DIR);
}

}  // namespace velmora
