// The references "<#table.column>" that template texts hold in place of
// values.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::print {

// The value for a table and column (names as written in the template);
// nothing for a table it does not know, whose references stay as written.
using FieldLookup =
    std::function<std::optional<std::string>(std::string_view table, std::string_view column)>;

// True when the text holds the start of a reference.
bool HasFieldRefs(std::string_view text);

// The text with every reference replaced by its value. A reference is
// "<#", a table name, ".", a column name and ">"; "<#name>" without a dot
// and unfinished references stay as written.
std::string FillFieldRefs(std::string_view text, const FieldLookup& lookup);

}  // namespace velmora::print
