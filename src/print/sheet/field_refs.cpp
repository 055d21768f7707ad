#include "print/sheet/field_refs.h"

namespace velmora::print {

bool HasFieldRefs(std::string_view text) {
    return text.find("<#") != std::string_view::npos;
}

std::string FillFieldRefs(std::string_view text, const FieldLookup& lookup) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find("<#", pos);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = text.find('>', open + 2);
        const std::size_t nextOpen = text.find('<', open + 2);
        if (close == std::string_view::npos) {
            break;
        }
        if (nextOpen < close) {
            out.append(text.substr(pos, nextOpen - pos));
            pos = nextOpen;
            continue;
        }
        const std::string_view name = text.substr(open + 2, close - open - 2);
        const std::size_t dot = name.find('.');
        std::optional<std::string> value;
        if (dot != std::string_view::npos && dot > 0 && dot + 1 < name.size()) {
            value = lookup(name.substr(0, dot), name.substr(dot + 1));
        }
        out.append(text.substr(pos, open - pos));
        out += value ? *value : std::string(text.substr(open, close + 1 - open));
        pos = close + 1;
    }
    out.append(text.substr(pos));
    return out;
}

}  // namespace velmora::print
