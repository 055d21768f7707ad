// The OID registry (CryptFindOIDInfo): the usual names of a Russian-language
// system for algorithms, extensions, extended key usages, name attributes and
// policies.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velmora::platform {

// The registry's groups, with the platform's group numbers.
enum class OidGroup : int {
    kHashAlgorithm = 1,
    kEncryptAlgorithm = 2,
    kPublicKeyAlgorithm = 3,
    kSignatureAlgorithm = 4,
    kRdnAttribute = 5,
    kExtensionOrAttribute = 6,
    kEnhancedKeyUsage = 7,
    kPolicy = 8,
};

struct OidInfo {
    std::string_view oid;
    std::string_view name;
    OidGroup group;
};

// Every entry of the registry, grouped, in a fixed order.
std::span<const OidInfo> AllOidInfos();

// The entry of an OID, looked up in every group (the first group that has
// it); nullptr when the OID is not registered.
const OidInfo* FindOidInfo(std::string_view oid);

// The entry with the name in the group (exact comparison); nullptr when none.
const OidInfo* FindOidInfoByName(std::string_view name, OidGroup group);

// The registered name of an OID in any group; nullopt when not registered.
std::optional<std::string> FindOidName(std::string_view oid);

}  // namespace velmora::platform
