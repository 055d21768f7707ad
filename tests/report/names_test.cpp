#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/asn1/oid_registry.h"
#include "encoding/utf8.h"
#include "report/build/report_names.h"
#include "report/names/attribute_label.h"
#include "report/names/name_list.h"
#include "report/view/recording_view.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <utility>

namespace velmora {
namespace {

using Rdns = std::vector<std::vector<std::pair<std::string, std::string>>>;

// A name of UTF-8 string attributes; each inner list is one RDN.
Bytes NameOf(const Rdns& rdns) {
    platform::NameInfo name;
    for (const auto& attributes : rdns) {
        platform::Rdn rdn;
        for (const auto& [oid, value] : attributes) {
            rdn.attributes.push_back(
                {oid, platform::rdn_type::kUtf8String, Bytes(value.begin(), value.end())});
        }
        name.rdns.push_back(std::move(rdn));
    }
    return platform::EncodeName(name).value();
}

TEST(NameList, KeepsFirstAttributeOfEachRdnInEncodedOrder) {
    // The third RDN is multi-valued: only its first attribute is listed, but
    // the platform's attribute search still finds the second.
    const Bytes der = NameOf({{{"2.5.4.6", "RU"}},
                              {{"2.5.4.11", "A"}},
                              {{"2.5.4.11", "B"}},
                              {{"2.5.4.3", "Иванов"}, {"2.5.4.4", "Петров"}},
                              {{"1.2.643.100.1", "1027700132195"}}});
    TDataOidsValue list;
    ASSERT_TRUE(DecodeNameList(list, der));
    ASSERT_EQ(list.Count(), 5u);
    EXPECT_EQ(list.Items[1], (TOidValue{"2.5.4.11", "A", "Подразделение"}));
    EXPECT_EQ(list.Items[3], (TOidValue{"2.5.4.3", "Иванов", "Обобщённое имя (COMMON NAME)"}));
    EXPECT_EQ(list.Items[4].Label, RegisteredOidName("1.2.643.100.1"));

    EXPECT_EQ(NameListValue(list, "2.5.4.11", 1), "B");  // the last one first
    EXPECT_EQ(NameListValue(list, "2.5.4.11", 2), "A");
    EXPECT_EQ(NameListValue(list, "2.5.4.11", 3), "");
    EXPECT_EQ(NameListValue(list, "2.5.4.4", 1), "");
    EXPECT_EQ(NameAttributeValue(der, "2.5.4.11"), "A");  // encoded order
    EXPECT_EQ(NameAttributeValue(der, "2.5.4.4"), "Петров");
    EXPECT_EQ(NameAttributeValue(der, "2.5.4.7"), "");

    // Values are cut to 255 whole characters in the list, not in the fields
    // read straight from the name.
    std::string longValue;
    for (int i = 0; i < 300; ++i) {
        longValue += "Ж";
    }
    ASSERT_TRUE(DecodeNameList(list, NameOf({{{"2.5.4.10", longValue}}})));
    EXPECT_EQ(Utf8Length(list.Items[0].Value), 255u);
    EXPECT_TRUE(IsValidUtf8(list.Items[0].Value));
    EXPECT_EQ(NameAttributeValue(NameOf({{{"2.5.4.10", longValue}}}), "2.5.4.10"), longValue);
}

TEST(NameList, UndecodableNameKeepsTheListAndShowsTheBoxOnlyWhenAsked) {
    TDataOidsValue list;
    ASSERT_TRUE(DecodeNameList(list, NameOf({{{"2.5.4.6", "RU"}}})));
    const TDataOidsValue before = list;
    const Bytes damaged{0x30, 0x05, 0x31, 0x03, 0x30, 0x01};
    EXPECT_FALSE(DecodeNameList(list, damaged));
    EXPECT_EQ(list, before);

    testing::ScriptedDialogs dialogs;
    EXPECT_EQ(NameAttributeValue(damaged, "2.5.4.6", &dialogs), "");
    const std::vector<std::string> errors = dialogs.ErrorTexts();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("Ошибка № - "));
    EXPECT_GT(errors[0].size(), std::string("Ошибка № - ").size());
    EXPECT_EQ(NameAttributeValue(damaged, "2.5.4.6"), "");  // no dialogs: no box

    // An empty name is a name: an empty list, of which the report writes nothing.
    EXPECT_TRUE(DecodeNameList(list, Bytes{0x30, 0x00}));
    EXPECT_EQ(list.Count(), 0u);
    RecordingView view;
    ReportNameList(view, list, 10);
    EXPECT_TRUE(view.Lines().empty());
}

TEST(AttributeLabel, TableThenRegistryThenOid) {
    EXPECT_EQ(AttributeLabelWithOid("2.5.4.42", false), "Имя Отчество (GIVEN NAME)");
    // Outside the table: the registry's name, else the OID itself.
    const std::optional<std::string> registered = platform::FindOidName("2.5.29.15");
    ASSERT_TRUE(registered.has_value());
    EXPECT_EQ(AttributeLabel("2.5.29.15"), *registered);
    EXPECT_EQ(OidFriendlyName("2.5.29.15"), *registered);
    EXPECT_EQ(AttributeLabelWithOid("1.2.3.4.5.6", true), "1.2.3.4.5.6(1.2.3.4.5.6)");
    EXPECT_EQ(RegisteredOidName("1.2.3.4.5.6"), "1.2.3.4.5.6");
    EXPECT_EQ(OidFriendlyName("1.2.3.4.5.6"), "Неизвестный OID");

    // Every occurrence of the three keys is named; other text is left alone.
    EXPECT_EQ(OgrnSnilsInnText("1.2.643.100.1=1;1.2.643.100.3=2;1.2.643.3.131.1.1=3;"
                               "1.2.643.100.1=4;inn=5"),
              "ОГРН=1;СНИЛС=2;ИНН=3;ОГРН=4;inn=5");
}

}  // namespace
}  // namespace velmora
