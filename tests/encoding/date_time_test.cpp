#include "encoding/date_time.h"
#include "encoding/asn1_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace velmora {
namespace {

// Local-time tests use Moscow time: UTC+3 now, UTC+4 in the summer of 2010.
class MoscowTime : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("TZ", "Europe/Moscow", 1);
        ::tzset();
    }
};

TEST_F(MoscowTime, FileTimesConvertToUtcAndLocalTime) {
    struct Case {
        FileTime time;
        DateTime utc;
        DateTime local;
    };
    const std::vector<Case> cases = {
        {133549851091230000ull, {2024, 3, 15, 14, 5, 9, 123}, {2024, 3, 15, 17, 5, 9, 123}},
        {129224592000000000ull, {2010, 7, 1, 12, 0, 0, 0}, {2010, 7, 1, 16, 0, 0, 0}},
        {116444736000000000ull, {1970, 1, 1, 0, 0, 0, 0}, {1970, 1, 1, 3, 0, 0, 0}},
        {2650467743990000000ull, {9999, 12, 31, 23, 59, 59, 0}, {10000, 1, 1, 2, 59, 59, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileTimeToUtc(c.time), c.utc) << c.time;
        EXPECT_EQ(FileTimeToLocal(c.time), c.local) << c.time;
        EXPECT_EQ(UtcToFileTime(c.utc), c.time) << c.time;
        EXPECT_EQ(LocalToFileTime(c.local), c.time) << c.time;
    }
    EXPECT_EQ(FileTimeToUtc(1), (DateTime{1601, 1, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(FileTimeToUtc(0));  // a missing time
    EXPECT_FALSE(FileTimeToLocal(0));
    EXPECT_FALSE(FileTimeToLocal(~0ull));

    // Invalid date-times, and ones outside the file time's range, give 0.
    for (const DateTime& bad : {DateTime{2023, 2, 29}, DateTime{2024, 13, 1}, DateTime{2024, 4, 31},
                                DateTime{2024, 1, 1, 24}, DateTime{1600, 12, 31}}) {
        EXPECT_EQ(UtcToFileTime(bad), 0u) << bad.year << "-" << bad.month << "-" << bad.day;
        EXPECT_EQ(LocalToFileTime(bad), 0u) << bad.year << "-" << bad.month << "-" << bad.day;
    }

    // One second before 1970 UTC is mktime's error value, and still a time.
    EXPECT_EQ(LocalToFileTime({1970, 1, 1, 2, 59, 59, 0}), 116444736000000000ull - 10000000);

    const auto now = FileTimeToLocal(CurrentFileTime());
    ASSERT_TRUE(now);
    EXPECT_GE(now->year, 2024);
}

TEST(DateTexts, FormatsDatesAndStamps) {
    const DateTime t{2024, 3, 5, 14, 5, 9, 500};
    EXPECT_EQ(DateTimeTextDMY(t), "05.03.2024 14:05:09");
    EXPECT_EQ(DateTimeTextMDY(t), "03.05.2024 14:05:09");
    EXPECT_EQ(DateTextLong(t), "5 марта 2024 г.");
    EXPECT_EQ(DateTextLong({2023, 12, 31}), "31 декабря 2023 г.");
    EXPECT_EQ(DateTimeStamp({2024, 3, 15, 14, 5, 9, 0}), "315140509");  // no leading zero
    EXPECT_EQ(DateTimeStamp({2024, 12, 31, 23, 59, 59, 0}), "1231235959");
}

TEST(DateArithmetic, MovesByYearsMonthsAndDays) {
    struct Case {
        int years, months, days;
        DateTime from, to;
    };
    const std::vector<Case> cases = {
        {0, -3, 0, {2024, 2, 15, 10, 20, 30, 400}, {2023, 11, 15, 10, 20, 30, 400}},
        {0, -13, 0, {2024, 1, 10}, {2022, 12, 10}},
        {0, 12, 0, {2024, 1, 10}, {2025, 1, 10}},
        {0, -1, 0, {2024, 1, 10}, {2023, 12, 10}},
        {1, 1, 1, {2023, 12, 31}, {2025, 2, 1}},
        {0, 0, 1, {2023, 12, 31, 23, 59}, {2024, 1, 1, 23, 59}},
        {0, 0, -60, {2024, 3, 1}, {2024, 1, 1}},
        // Days that do not exist in the month reached become its last day.
        {0, 1, 0, {2024, 1, 31}, {2024, 2, 29}},
        {0, 1, 0, {2023, 1, 31}, {2023, 2, 28}},
        {0, -3, 0, {2024, 5, 31}, {2024, 2, 29}},
        {1, 0, 0, {2024, 2, 29, 8, 0, 0, 0}, {2025, 2, 28, 8, 0, 0, 0}},
        // The clamped day is the one the days are added to.
        {0, 1, 1, {2024, 1, 31}, {2024, 3, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddToDate(c.years, c.months, c.days, c.from), c.to)
            << c.from.year << "-" << c.from.month << "-" << c.from.day << " + " << c.years << "y "
            << c.months << "m " << c.days << "d";
    }
}

// Every input, cut anywhere, gives what it holds; each is copied into a heap
// buffer of exactly its own size, so the sanitizer build sees any read beyond.
TEST(TimeTexts, UtcAndGeneralizedTimesWholeAndCutShort) {
    const struct {
        bool generalized;
        std::string in, out;
    } cases[] = {
        {false, "240315140509Z", "15.03.2024 г. 14:05:09 по Гринвичу"},
        {false, "2403151405Z", "15.03.2024 г. 14:05 по Гринвичу"},
        {false, "491231235959Z", "31.12.2049 г. 23:59:59 по Гринвичу"},
        {false, "500101000000Z", "01.01.1950 г. 00:00:00 по Гринвичу"},
        {false, "240315140509+0300", "15.03.2024 г. 14:05:09 GMT +03:00"},
        {false, "2403151405-0530", "15.03.2024 г. 14:05 GMT -05:30"},
        {false, "240315140509", "15.03.2024 г. 14:05:09"},
        {false, "", ".. г. :"},
        {false, "2", "..2 г. :"},
        {false, "24", "..2024 г. :"},
        {false, "24031514051", "15.03.2024 г. 14:05:1"},
        {false, "240315140509+", "15.03.2024 г. 14:05:09 GMT +:"},
        {false, "240315140509+03", "15.03.2024 г. 14:05:09 GMT +03:"},
        {false, "240315140509+030", "15.03.2024 г. 14:05:09 GMT +03:0"},
        {false, "xy0315140509Z", "15.03.xy г. 14:05:09 по Гринвичу"},
        {true, "20240315140509Z", "15.03.2024 г. 14:05:09 по Гринвичу"},
        {true, "20240315140509+0300", "15.03.2024 г. 14:05:09 GMT +03:00"},
        {true, "20240315140509.123Z", "15.03.2024 г. 14:05:09"},  // a fraction hides the zone
        {true, "20240315140509", "15.03.2024 г. 14:05:09"},
        {true, "", ".. г. :"},
        {true, "2024031", "1.03.2024 г. :"},
        {true, "2024031514051", "15.03.2024 г. 14:05:1"},
        {true, "20240315140509-", "15.03.2024 г. 14:05:09 GMT -:"},
    };
    for (const auto& c : cases) {
        const std::vector<char> exact(c.in.begin(), c.in.end());
        const std::string_view in(exact.data(), exact.size());
        EXPECT_EQ(c.generalized ? GeneralizedTimeText(in) : UtcTimeText(in), c.out) << c.in;
    }
    EXPECT_EQ(TimeZoneText("Z", 1), " по Гринвичу");
    EXPECT_EQ(TimeZoneText("Z", 2), "");
    EXPECT_EQ(TimeZoneText("+1", 1), " GMT +1:");
    EXPECT_EQ(TimeZoneText("1234", 2), "");
}

}  // namespace
}  // namespace velmora
