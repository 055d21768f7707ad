#include "report/record/record_lookup.h"

#include "report/names/attribute_label.h"

namespace velmora {

int ExtensionIndex(const TRCstruct& record, std::string_view oid) {
    const auto& items = record.Extensions.Items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].Oid == oid) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string AltNameValue(const TALTERNATE_NAMES& names, std::string_view oid, int n) {
    for (auto it = names.Items.rbegin(); it != names.Items.rend(); ++it) {
        if (it->Choice == AltNameChoice::kOtherName && it->OtherNameOid == oid) {
            return it->OtherNameValue;
        }
        if (it->Choice == AltNameChoice::kDirectoryName) {
            int found = 0;
            for (const TOidValue& entry : it->DirectoryName.Items) {
                if (entry.Oid == oid && ++found == n) {
                    return entry.Value;
                }
            }
        }
    }
    return {};
}

std::string AsfkTitleName(const TRCstruct& record) {
    return OidFriendlyName(record.AsfkTitle);
}

std::string ContainerOfCertificate(const platform::CertContext& certificate) {
    if (certificate == nullptr || !certificate->KeyProv()) {
        return {};
    }
    return certificate->KeyProv()->containerName;
}

}  // namespace velmora
