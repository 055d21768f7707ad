#include "crypto/platform/encode_values.h"
#include "crypto/platform/oid_registry.h"
#include "encoding/utf8.h"
#include "report/build/report_names.h"
#include "report/names/attribute_label.h"
#include "report/names/name_list.h"
#include "report/view/dialogs.h"
#include "report/view/recording_view.h"

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

class RecordingDialogs : public Dialogs {
  public:
    struct Message {
        std::string text, caption;
        MessageIcon icon;
    };
    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                              MessageButtons) override {
        messages.push_back({text, caption, icon});
        return MessageAnswer::Ok;
    }
    std::optional<std::filesystem::path> ChooseOpenFile(int) override { return {}; }
    std::optional<std::filesystem::path> ChooseSaveFile(const std::filesystem::path&,
                                                        const std::string&) override {
        return {};
    }
    std::vector<Message> messages;
};

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
    EXPECT_EQ(list.Items[0], (TOidValue{"2.5.4.6", "RU", "Страна"}));
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
}

TEST(NameList, CutsLongValuesToWholeCharacters) {
    std::string longValue;
    for (int i = 0; i < 300; ++i) {
        longValue += "Ж";
    }
    TDataOidsValue list;
    ASSERT_TRUE(DecodeNameList(list, NameOf({{{"2.5.4.10", longValue}}})));
    EXPECT_EQ(Utf8Length(list.Items[0].Value), 255u);
    EXPECT_TRUE(IsValidUtf8(list.Items[0].Value));
    // The record fields read straight from the name are not cut.
    EXPECT_EQ(NameAttributeValue(NameOf({{{"2.5.4.10", longValue}}}), "2.5.4.10"), longValue);
}

TEST(NameList, UndecodableNameKeepsTheListAndShowsTheBoxOnlyWhenAsked) {
    TDataOidsValue list;
    ASSERT_TRUE(DecodeNameList(list, NameOf({{{"2.5.4.6", "RU"}}})));
    const TDataOidsValue before = list;
    const Bytes damaged{0x30, 0x05, 0x31, 0x03, 0x30, 0x01};
    EXPECT_FALSE(DecodeNameList(list, damaged));
    EXPECT_EQ(list, before);

    RecordingDialogs dialogs;
    EXPECT_EQ(NameAttributeValue(damaged, "2.5.4.6", &dialogs), "");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.starts_with("Ошибка № - "));
    EXPECT_GT(dialogs.messages[0].text.size(), std::string("Ошибка № - ").size());
    EXPECT_EQ(dialogs.messages[0].caption, "Ошибка");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(NameAttributeValue(damaged, "2.5.4.6"), "");  // no dialogs: no box

    // An empty name is a name: an empty list.
    EXPECT_TRUE(DecodeNameList(list, Bytes{0x30, 0x00}));
    EXPECT_EQ(list.Count(), 0u);
}

TEST(AttributeLabel, TableThenRegistryThenOid) {
    EXPECT_EQ(AttributeLabel("2.5.4.7"), "Населённый пункт");
    EXPECT_EQ(AttributeLabel("1.2.840.113549.1.9.2"), "Формализованная должность АСФК");
    EXPECT_EQ(AttributeLabel("1.2.643.2.2.37.3.10"), "Срок действия закрытого ключа");
    EXPECT_EQ(AttributeLabelWithOid("2.5.4.42", true), "Имя Отчество (GIVEN NAME)(2.5.4.42)");
    EXPECT_EQ(AttributeLabelWithOid("2.5.4.42", false), "Имя Отчество (GIVEN NAME)");

    // Outside the table: the registry's name, else the OID itself.
    const std::optional<std::string> registered = platform::FindOidName("2.5.29.15");
    ASSERT_TRUE(registered.has_value());
    EXPECT_EQ(AttributeLabel("2.5.29.15"), *registered);
    EXPECT_EQ(OidFriendlyName("2.5.29.15"), *registered);
    EXPECT_EQ(AttributeLabel("1.2.3.4.5.6"), "1.2.3.4.5.6");
    EXPECT_EQ(AttributeLabelWithOid("1.2.3.4.5.6", true), "1.2.3.4.5.6(1.2.3.4.5.6)");
    EXPECT_EQ(RegisteredOidName("1.2.3.4.5.6"), "1.2.3.4.5.6");
    EXPECT_EQ(OidFriendlyName("1.2.3.4.5.6"), "Неизвестный OID");
}

TEST(AttributeLabel, CombinedIdentifiersReadWithTheirNames) {
    EXPECT_EQ(OgrnSnilsInnText(
                  "1.2.643.100.1=1027700132195;1.2.643.100.3=12345678901;1.2.643.3.131.1.1=7710;"
                  "1.2.643.100.1=2"),
              "ОГРН=1027700132195;СНИЛС=12345678901;ИНН=7710;ОГРН=2");
    EXPECT_EQ(OgrnSnilsInnText("inn=1"), "inn=1");
}

TEST(ReportNameList, WritesFromTheLastEntryWithTheSpecialValues) {
    TDataOidsValue list;
    ASSERT_TRUE(DecodeNameList(
        list, NameOf({{{"2.5.4.6", "RU"}},
                      {{"1.2.840.113549.1.9.2", "1.2.3.4.5.6"}},
                      {{"1.2.372.980001.8.4.1", "1.2.643.100.3=123;1.2.643.3.131.1.1=77"}},
                      {{"2.5.4.3", "Иванов"}}})));
    RecordingView view;
    ReportNameList(view, list, 12);
    const std::string combinedLabel = AttributeLabel("1.2.372.980001.8.4.1");
    EXPECT_EQ(view.MarkedText(),
              "{R12}Обобщённое имя (COMMON NAME): {B12}Иванов\n"
              "{R12}" +
                  combinedLabel +
                  ": {B12}СНИЛС=123;ИНН=77\n"
                  "{R12}Формализованная должность АСФК: {B12}1.2.3.4.5.6(1.2.3.4.5.6)\n"
                  "{R12}Страна: {B12}RU\n");

    RecordingView empty;
    ReportNameList(empty, TDataOidsValue{}, 10);
    EXPECT_TRUE(empty.Lines().empty());
}

}  // namespace
}  // namespace velmora
