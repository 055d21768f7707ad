#include "report/text/value_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace velmora {
namespace {

// 2024-03-15 11:05:09 UTC as a file time.
constexpr std::uint64_t kMarch15 = 133549743090000000ULL;

void SetZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
}

TEST(ValueText, HexFormsOfOneValue) {
    const Bytes five = {0x01, 0x02, 0x03, 0x04, 0x05};
    EXPECT_EQ(HexPairsText(five), "01 0203 0405");
    EXPECT_EQ(HexSpacedText(five), "01 02 03 04 05");
    EXPECT_EQ(HexReversedText(five), "0504030201");
    EXPECT_EQ(HexReversedSpacedText(five), "05 04 03 02 01");
    EXPECT_EQ(HexDumpText(five), "01 02 03 04 05 ");
    EXPECT_EQ(HexPairsText(Bytes{0x0A, 0x0B, 0x0C}), "0A 0B0C");
    EXPECT_EQ(HexPairsText(Bytes{0xAB, 0xCD}), "ABCD");

    // The serial number is held least significant byte first; the sign byte
    // of a serial whose top bit is set stays in front.
    EXPECT_EQ(SerialNumberText(Bytes{0x34, 0x12}), "1234");
    EXPECT_EQ(SerialNumberText(Bytes{0x80, 0x00}), "0080");

    for (const auto text : {HexPairsText, HexSpacedText, HexReversedText, HexReversedSpacedText,
                            HexDumpText, SerialNumberText}) {
        EXPECT_EQ(text(Bytes()), "");
    }
}

TEST(ValueText, HexDumpBreaksLinesAfterSixteenBytes) {
    Bytes bytes(32);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    EXPECT_EQ(HexDumpText(bytes),
              "00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F \r"
              "10 11 12 13 14 15 16 17  18 19 1A 1B 1C 1D 1E 1F \r");
    EXPECT_EQ(HexDumpText(ByteView(bytes).first(9)), "00 01 02 03 04 05 06 07  08 ");
    EXPECT_EQ(HexDumpText(ByteView(bytes).first(24)),
              "00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F \r"
              "10 11 12 13 14 15 16 17  ");
}

TEST(ValueText, FileTimesInLocalTime) {
    SetZone("Europe/Moscow");
    EXPECT_EQ(FileTimeText(kMarch15), "15.03.2024 14:05:09");
    // Moscow kept summer time in 2010: +4 in July.
    constexpr std::uint64_t kJuly2010 = 129224592000000000ULL;  // 2010-07-01 12:00:00 UTC
    EXPECT_EQ(FileTimeText(kJuly2010), "01.07.2010 16:00:00");
    // Fractions of a second are cut, not rounded.
    EXPECT_EQ(FileTimeText(kMarch15 + 9999999), "15.03.2024 14:05:09");
    // A missing time gives no text.
    EXPECT_EQ(FileTimeText(0), "");
    EXPECT_EQ(FileTimeToLocalDateTime(0), DateTime{});

    const DateTime local = FileTimeToLocalDateTime(kMarch15);
    EXPECT_EQ(local, (DateTime{2024, 3, 15, 14, 5, 9, 0}));
    EXPECT_EQ(LocalDateTimeToFileTime(local), kMarch15);
    EXPECT_EQ(LocalDateTimeToFileTime(DateTime{2024, 2, 30, 0, 0, 0, 0}), 0u);

    SetZone("UTC");
    EXPECT_EQ(FileTimeText(kMarch15), "15.03.2024 11:05:09");
    SetZone("Europe/Moscow");  // the zone every test of this program runs in
}

// The texts made with the offset taken once per day are those of the C
// library for every time, across changes of offset: Moscow's last summer
// time (2010-2011, at whole hours) and Adelaide's (at half past a UTC hour).
TEST(ValueText, LocalTimeTextsFollowEveryChangeOfOffset) {
    constexpr std::uint64_t kTicksPerMinute = 600000000ULL;
    // 2010-03-25 00:00 UTC and 2024-04-05 00:00 UTC.
    const std::pair<const char*, std::uint64_t> spans[] = {
        {"Europe/Moscow", 129139200000000000ULL},
        {"Australia/Adelaide", 133567776000000000ULL},
    };
    for (const auto& [zone, start] : spans) {
        SetZone(zone);
        LocalTimeTexts texts;
        // Ten days a few minutes apart, then a year a day and a bit apart.
        for (std::uint64_t step = 0; step < 10 * 24 * 60 / 7 + 400; ++step) {
            const std::uint64_t time = step < 10 * 24 * 60 / 7
                                           ? start + step * 7 * kTicksPerMinute
                                           : start + (step - 2057) * 1447 * kTicksPerMinute;
            std::string text = "x";
            texts.Append(time, text);
            ASSERT_EQ(text, "x" + FileTimeText(time)) << zone << " " << time;
        }
        std::string none;
        texts.Append(0, none);
        EXPECT_EQ(none, "");
    }
    SetZone("Europe/Moscow");
}

}  // namespace
}  // namespace velmora
