#include "report/names/text_cut.h"

#include "encoding/utf8.h"

namespace velmora {

std::string CutText(std::string_view text, std::size_t limit) {
    std::size_t pos = 0;
    for (std::size_t count = 0; count < limit && pos < text.size(); ++count) {
        DecodeUtf8(text, pos);
    }
    return std::string(text.substr(0, pos));
}

}  // namespace velmora
