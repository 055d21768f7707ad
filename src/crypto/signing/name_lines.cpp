#include "crypto/signing/name_lines.h"

#include "crypto/platform/certs/name.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "report/names/attribute_label.h"
#include "report/names/name_list.h"
#include "report/text/value_text.h"

namespace velmora {

std::vector<std::string> NameLines(ByteView encoded_name) {
    std::vector<std::string> lines;
    const auto name = platform::DecodeName(encoded_name);
    if (!name) {
        return lines;
    }
    for (const auto& rdn : name->rdns) {
        if (rdn.attributes.empty()) {
            continue;
        }
        const std::string& oid = rdn.attributes.front().oid;
        lines.push_back("  " + AttributeLabelWithOid(oid, true) + " = " +
                        NameAttributeValue(encoded_name, oid));
    }
    return lines;
}

std::optional<FileTime> SignerInfoLines(const platform::CryptMessage& message,
                                        std::vector<std::string>& lines, std::uint32_t index) {
    const auto info = platform::MsgSignerInfo(message, index);
    if (!info) {
        lines.push_back(platform::LastErrorText());
        return std::nullopt;
    }
    lines.push_back("Серийный номер - " + HexReversedText(info->serialNumber));
    const auto time = platform::SignerSigningTime(*info);
    if (!time) {
        // Signatures made without signed attributes carry no time: there is
        // nothing to show and no time to check the chain at.
        lines.push_back("время подписания - не указано");
        return std::nullopt;
    }
    lines.push_back("время подписания - " + FileTimeText(*time));
    return time;
}

}  // namespace velmora
