#include "encoding/container_names.h"

namespace velmora {

namespace {

// Index of the n-th (from 1) backslash, or npos.
std::size_t NthBackslash(std::string_view name, int n) {
    std::size_t at = std::string_view::npos;
    for (int k = 0; k < n; ++k) {
        at = name.find('\\', at == std::string_view::npos ? 0 : at + 1);
        if (at == std::string_view::npos) {
            break;
        }
    }
    return at;
}

}  // namespace

std::vector<std::string> SplitContainerEntry(ByteView buffer) {
    const std::string_view text(reinterpret_cast<const char*>(buffer.data()), buffer.size());
    std::vector<std::string> parts;
    const std::size_t nul = text.find('\0');
    const std::string_view name = text.substr(0, nul);
    if (!name.empty()) {
        parts.emplace_back(name);
    }
    if (nul != std::string_view::npos) {
        const std::string_view rest = text.substr(nul + 1);
        parts.emplace_back(rest.substr(0, rest.find('\0')));
    }
    return parts;
}

std::string ReaderOfFqcn(std::string_view name) {
    const std::size_t third = NthBackslash(name, 3);
    const std::size_t fourth = NthBackslash(name, 4);
    if (fourth == std::string_view::npos) {
        return {};
    }
    return std::string(name.substr(third + 1, fourth - third - 1));
}

std::string ContainerOfFqcn(std::string_view name) {
    const std::size_t fourth = NthBackslash(name, 4);
    if (fourth == std::string_view::npos) {
        return {};
    }
    return std::string(name.substr(fourth + 1));
}

std::string LastPathSegment(std::string_view text) {
    const std::size_t last = text.rfind('\\');
    return std::string(last == std::string_view::npos ? text : text.substr(last + 1));
}

}  // namespace velmora
