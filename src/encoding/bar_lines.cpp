#include "encoding/bar_lines.h"

#include "encoding/text_file.h"

#include <algorithm>

namespace velmora {

namespace {

// The field as a view into the line; nothing beyond the last field.
std::optional<std::string_view> FieldView(std::string_view line, int index) {
    if (index < 0) {
        return std::nullopt;
    }
    std::size_t start = 0;
    for (int k = 0; k < index; ++k) {
        const std::size_t bar = line.find('|', start);
        if (bar == std::string_view::npos) {
            return std::nullopt;
        }
        start = bar + 1;
    }
    const std::size_t end = line.find('|', start);
    return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace

int CountBars(std::string_view text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '|'));
}

std::string BarField(std::string_view line, int index) {
    return std::string(FieldView(line, index).value_or(std::string_view()));
}

bool AllLinesEndWithBar(std::span<const std::string> lines) {
    return std::all_of(lines.begin(), lines.end(),
                       [](const std::string& line) { return line.ends_with('|'); });
}

bool AllLinesEndWithBar(const std::filesystem::path& file) {
    const auto lines = ReadTextFileLines(file);
    return lines && AllLinesEndWithBar(*lines);
}

bool AllFieldsFilled(std::span<const std::string> lines) {
    // The fields 0 .. CountBars - 1 are those closed by a "|"; one of them is
    // empty exactly when the line starts with "|" or holds "||".
    return std::none_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with('|') || line.find("||") != std::string::npos;
    });
}

bool AllFieldsFilled(const std::filesystem::path& file) {
    const auto lines = ReadTextFileLines(file);
    return lines && AllFieldsFilled(*lines);
}

std::string LookupBarTable(std::span<const std::string> lines, std::span<const int> keyColumns,
                           std::span<const std::string> keyValues, int resultColumn) {
    if (keyColumns.size() != keyValues.size()) {
        return {};
    }
    for (const std::string& line : lines) {
        bool matches = true;
        for (std::size_t k = 0; k < keyColumns.size() && matches; ++k) {
            matches = BarField(line, keyColumns[k]) == keyValues[k];
        }
        if (matches) {
            return BarField(line, resultColumn);
        }
    }
    return {};
}

std::optional<std::string> LookupBarTable(const std::filesystem::path& file,
                                          std::span<const int> keyColumns,
                                          std::span<const std::string> keyValues,
                                          int resultColumn) {
    const auto lines = ReadTextFileLines(file);
    if (!lines) {
        return std::nullopt;
    }
    return LookupBarTable(*lines, keyColumns, keyValues, resultColumn);
}

}  // namespace velmora
