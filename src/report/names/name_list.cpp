#include "report/names/name_list.h"

#include "crypto/platform/certs/name_text.h"
#include "crypto/platform/system/system_info.h"
#include "report/names/attribute_label.h"
#include "report/names/text_cut.h"
#include "report/view/dialogs.h"

#include <optional>

namespace velmora {

bool DecodeNameList(TDataOidsValue& list, ByteView encodedName) {
    const std::optional<platform::NameInfo> name = platform::DecodeName(encodedName);
    if (!name) {
        return false;
    }
    DecodeNameList(list, *name);
    return true;
}

void DecodeNameList(TDataOidsValue& list, const platform::NameInfo& name) {
    TDataOidsValue decoded;
    decoded.Items.reserve(name.rdns.size());
    for (const platform::Rdn& rdn : name.rdns) {
        // Only the first attribute of a multi-valued name element is kept.
        TOidValue entry;
        if (!rdn.attributes.empty()) {
            const platform::RdnAttribute& first = rdn.attributes.front();
            entry.Oid = CutText(first.oid, kRecordTextLimit);
            entry.Value = CutText(RdnValueText(first), kRecordTextLimit);
            entry.Label = CutText(AttributeLabel(first.oid), kRecordTextLimit);
        }
        decoded.Items.push_back(std::move(entry));
    }
    list = std::move(decoded);
}

std::string NameListValue(const TDataOidsValue& list, std::string_view oid, int n) {
    int found = 0;
    for (auto it = list.Items.rbegin(); it != list.Items.rend(); ++it) {
        if (it->Oid == oid && ++found == n) {
            return it->Value;
        }
    }
    return {};
}

std::string NameAttributeValue(ByteView encodedName, std::string_view oid, Dialogs* dialogs) {
    return NameAttributeValue(platform::DecodeName(encodedName), oid, dialogs);
}

std::string NameAttributeValue(const std::optional<platform::NameInfo>& name, std::string_view oid,
                               Dialogs* dialogs) {
    if (!name) {
        if (dialogs != nullptr) {
            ShowErrorBox(*dialogs, "Ошибка № - " + platform::LastErrorText());
        }
        return {};
    }
    const platform::RdnAttribute* attribute = platform::FindRdnAttr(*name, oid);
    return attribute != nullptr ? RdnValueText(*attribute) : std::string();
}

std::string RdnValueText(const platform::RdnAttribute& attribute) {
    return platform::RdnValueToStr(attribute.valueType, attribute.value);
}

}  // namespace velmora
