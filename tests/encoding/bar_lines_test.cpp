#include "encoding/bar_lines.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::TempFolder;

TEST(BarLines, Fields) {
    struct Case {
        std::string line;
        int index;
        std::string field;
    };
    const std::vector<Case> cases = {
        {"a||c", 1, ""}, {"a|b", 5, ""}, {"a|b", 0, "a"}, {"a|b|", 2, ""},
        {"|a", 0, ""},   {"", 0, ""},    {"a|b", -1, ""}, {"1.2.643|Имя|", 1, "Имя"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BarField(c.line, c.index), c.field) << c.line << " " << c.index;
    }
    EXPECT_EQ(CountBars("a||c|"), 3);
    EXPECT_EQ(CountBars(""), 0);
}

TEST(BarLines, LineChecks) {
    using Lines = std::vector<std::string>;
    EXPECT_TRUE(AllLinesEndWithBar(Lines{"a|", "|"}));
    EXPECT_FALSE(AllLinesEndWithBar(Lines{"a|", "b"}));
    EXPECT_FALSE(AllLinesEndWithBar(Lines{"a|", ""}));  // an empty line does not end with "|"

    EXPECT_TRUE(AllFieldsFilled(Lines{"a|b|", "x", "a|b|c"}));  // after the last bar: not checked
    EXPECT_TRUE(AllFieldsFilled(Lines{""}));
    EXPECT_FALSE(AllFieldsFilled(Lines{"a|b|", "a||c|"}));
    EXPECT_FALSE(AllFieldsFilled(Lines{"|a|"}));
}

TEST(BarLines, FilesAndLookup) {
    TempFolder folder;
    // Windows-1251 with CR LF, as other programs write it.
    const auto table = folder.Write("OID.csv",
                                    "1.2.643.1|\xCF\xEE\xE4\xEF\xE8\xF1\xFC|1|\r\n"
                                    "1.2.643.2|\xD8\xE8\xF4\xF0|0|\r\n"
                                    "1.2.643.2|\xC4\xF3\xE1\xEB\xFC|1|\r\n");
    EXPECT_TRUE(AllLinesEndWithBar(table));
    EXPECT_TRUE(AllFieldsFilled(table));
    const std::vector<int> byOid = {0};
    const std::vector<int> byOidAndFlag = {0, 2};
    EXPECT_EQ(LookupBarTable(table, byOid, std::vector<std::string>{"1.2.643.2"}, 1), "Шифр");
    EXPECT_EQ(LookupBarTable(table, byOidAndFlag, std::vector<std::string>{"1.2.643.2", "1"}, 1),
              "Дубль");
    EXPECT_EQ(LookupBarTable(table, byOid, std::vector<std::string>{"9"}, 1), "");
    EXPECT_EQ(LookupBarTable(table, byOid, std::vector<std::string>{"1.2.643.1"}, 7), "");
    // Key lists of different lengths match nothing.
    EXPECT_EQ(LookupBarTable(table, byOidAndFlag, std::vector<std::string>{"1.2.643.1"}, 1), "");

    // UTF-8 files are read as UTF-8; an empty line fails the bar check.
    const auto utf8 = folder.Write("u.csv", "1|Подпись|\n\n");
    EXPECT_EQ(LookupBarTable(utf8, byOid, std::vector<std::string>{"1"}, 1), "Подпись");
    EXPECT_FALSE(AllLinesEndWithBar(utf8));
    EXPECT_TRUE(AllLinesEndWithBar(folder.Write("empty.csv", "")));

    const auto missing = folder / "missing.csv";
    EXPECT_FALSE(AllLinesEndWithBar(missing));
    EXPECT_FALSE(AllFieldsFilled(missing));
    EXPECT_FALSE(LookupBarTable(missing, byOid, std::vector<std::string>{"1"}, 1));
}

}  // namespace
}  // namespace velmora
