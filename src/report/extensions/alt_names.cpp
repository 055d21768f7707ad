#include "report/extensions/alt_names.h"

#include "crypto/platform/certs/name_text.h"
#include "report/names/attribute_label.h"
#include "report/names/text_cut.h"

namespace velmora {

std::string OtherNameLabel(std::string_view oid) {
    if (oid == "2.5.4.12") {
        return "Идентификатор ключей при смене";
    }
    return OidFriendlyName(oid);
}

TALTERNATE_NAMES DecodeAltNameInfo(const platform::AltNameInfo& info) {
    TALTERNATE_NAMES names;
    names.Items.reserve(info.entries.size());
    for (const platform::AltNameEntry& entry : info.entries) {
        TALTERNATE_NAME name;
        name.Choice = static_cast<AltNameChoice>(entry.choice);
        switch (entry.choice) {
            case platform::alt_name::kOtherName:
                name.OtherNameOid = CutText(entry.otherNameOid, kRecordTextLimit);
                name.OtherNameValue = CutText(platform::RdnValueTextOfEncoded(entry.otherNameValue),
                                              kRecordTextLimit);
                name.OtherNameLabel = CutText(OtherNameLabel(entry.otherNameOid), kRecordTextLimit);
                break;
            case platform::alt_name::kRfc822Name:
                name.Email = CutText(entry.text, kRecordTextLimit);
                break;
            case platform::alt_name::kDnsName:
                name.DnsName = CutText(entry.text, kRecordTextLimit);
                break;
            case platform::alt_name::kDirectoryName:
                DecodeNameList(name.DirectoryName, entry.directoryName);
                break;
            case platform::alt_name::kUrl:
                name.Url = CutText(entry.text, kRecordTextLimit);
                break;
            case platform::alt_name::kIpAddress:
                name.IpAddress = CutText(IpAddressText(entry.ipAddress), kRecordTextLimit);
                break;
            case platform::alt_name::kRegisteredId:
                name.RegisteredId = CutText(entry.registeredId, kRecordTextLimit);
                break;
            default:
                // X.400 addresses and EDI party names keep only their choice.
                break;
        }
        names.Items.push_back(std::move(name));
    }
    return names;
}

std::string IpAddressText(ByteView bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += '.';
        }
        text += std::to_string(byte);
    }
    return text;
}

}  // namespace velmora
