#include "report/record/file_armour.h"

#include "crypto/platform/asn1/base64_armour.h"

#include <string_view>

namespace velmora {

std::optional<Bytes> DerOfFileBytes(ByteView fileBytes) {
    const std::string_view text(reinterpret_cast<const char*>(fileBytes.data()), fileBytes.size());
    const auto format = text.find("BEGIN") != std::string_view::npos
                            ? platform::StringFormat::kBase64Header
                            : platform::StringFormat::kBase64;
    platform::StringFormat used = format;
    if (!platform::StringToBinarySize(text, format, &used)) {
        return Bytes(fileBytes.begin(), fileBytes.end());
    }
    return platform::StringToBinary(text, used);
}

}  // namespace velmora
