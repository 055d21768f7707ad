#include "crypto/platform/asn1/oid_registry.h"

namespace velmora::platform {

const OidInfo* FindOidInfo(std::string_view oid) {
    // The table is grouped in the order of the group numbers, so the first
    // match is the lowest group that registers the OID.
    for (const OidInfo& info : AllOidInfos()) {
        if (info.oid == oid) {
            return &info;
        }
    }
    return nullptr;
}

const OidInfo* FindOidInfoByName(std::string_view name, OidGroup group) {
    for (const OidInfo& info : AllOidInfos()) {
        if (info.group == group && info.name == name) {
            return &info;
        }
    }
    return nullptr;
}

std::optional<std::string> FindOidName(std::string_view oid) {
    const OidInfo* info = FindOidInfo(oid);
    if (info == nullptr) {
        return std::nullopt;
    }
    return std::string(info->name);
}

}  // namespace velmora::platform
