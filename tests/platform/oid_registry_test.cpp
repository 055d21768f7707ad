#include "crypto/platform/asn1/oid_registry.h"
#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/asn1/encode_der.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace velmora::platform {
namespace {

TEST(OidRegistry, TheRussianNamesOfTheUsualOids) {
    struct Case {
        const char* oid;
        const char* name;
    };
    const Case cases[] = {
        {"1.2.643.2.2.19", "ГОСТ Р 34.10-2001"},
        {"1.2.643.7.1.1.1.1", "ГОСТ Р 34.10-2012 256 бит"},
        {"1.2.840.113549.1.1.1", "RSA"},
        {"1.3.6.1.5.5.7.3.2", "Проверка подлинности клиента"},
        {"1.2.643.2.2.34.6", "Пользователь Центра Регистрации, HTTP, TLS клиент"},
        // Names real qualified certificates carry.
        {"1.2.643.100.114", "Способ идентификации заявителя"},
        {"1.3.6.1.5.5.7.48.1.5", "Без проверки отзыва OCSP"},
        {"1.2.643.3.61.502710.1.6.3.4.1", "Заказчик"},
        {"1.2.643.100.4", "ИНН ЮЛ"},
        {"1.2.643.100.113.1", "Класс средства ЭП КС1"},
        {"2.5.4.3", "CN"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindOidName(c.oid), c.name) << c.oid;
    }
    EXPECT_FALSE(FindOidName("1.2.643.3.61.502710.1.5"));
    EXPECT_FALSE(FindOidName("1.2.643.100"));  // a prefix is no match
    EXPECT_EQ(FindOidInfo("1.2.643.100.111")->group, OidGroup::kExtensionOrAttribute);
    const OidInfo* by_name = FindOidInfoByName("ГОСТ Р 34.11-94", OidGroup::kHashAlgorithm);
    ASSERT_NE(by_name, nullptr);
    EXPECT_EQ(by_name->oid, "1.2.643.2.2.9");
    EXPECT_EQ(FindOidInfoByName("ГОСТ Р 34.11-94", OidGroup::kPolicy), nullptr);
}

// The table is data: every entry must be a well-formed OID with a name,
// registered once per group, and the groups must stand in order so that the
// lookup finds the lowest group first.
TEST(OidRegistry, TableIsWellFormed) {
    std::set<std::pair<std::string_view, OidGroup>> seen;
    int previous_group = 0;
    for (const OidInfo& info : AllOidInfos()) {
        const std::optional<Bytes> content = OidContentOfText(info.oid);
        ASSERT_TRUE(content) << info.oid;
        EXPECT_EQ(OidTextOfContent(*content), info.oid);
        EXPECT_FALSE(info.name.empty()) << info.oid;
        EXPECT_TRUE(seen.emplace(info.oid, info.group).second) << "twice: " << info.oid;
        EXPECT_GE(static_cast<int>(info.group), previous_group) << info.oid;
        previous_group = static_cast<int>(info.group);
    }
}

}  // namespace
}  // namespace velmora::platform
