#include "encoding/asn1_time.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

struct Case {
    std::string in;
    std::string out;
};

TEST(TimeTexts, UtcTime) {
    const std::vector<Case> cases = {
        {"240315140509Z", "15.03.2024 г. 14:05:09 по Гринвичу"},
        {"2403151405Z", "15.03.2024 г. 14:05 по Гринвичу"},
        {"491231235959Z", "31.12.2049 г. 23:59:59 по Гринвичу"},
        {"500101000000Z", "01.01.1950 г. 00:00:00 по Гринвичу"},
        {"240315140509+0300", "15.03.2024 г. 14:05:09 GMT +03:00"},
        {"2403151405-0530", "15.03.2024 г. 14:05 GMT -05:30"},
        {"240315140509", "15.03.2024 г. 14:05:09"},
        {"2403151405", "15.03.2024 г. 14:05"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UtcTimeText(c.in), c.out) << c.in;
    }
}

TEST(TimeTexts, GeneralizedTime) {
    const std::vector<Case> cases = {
        {"20240315140509Z", "15.03.2024 г. 14:05:09 по Гринвичу"},
        {"20240315140509+0300", "15.03.2024 г. 14:05:09 GMT +03:00"},
        {"202403151405Z", "15.03.2024 г. 14:05 по Гринвичу"},
        {"20240315140509.123Z", "15.03.2024 г. 14:05:09"},  // a fraction hides the zone
        {"20240315140509", "15.03.2024 г. 14:05:09"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GeneralizedTimeText(c.in), c.out) << c.in;
    }
}

// Inputs cut anywhere give what they hold; the sanitizer build checks that
// nothing beyond them is read (each is copied into a heap buffer of exactly its
// own size, with no terminator after it).
TEST(TimeTexts, ShortInputsGiveWhatIsPresent) {
    const std::vector<Case> utc = {
        {"", ".. г. :"},
        {"2", "..2 г. :"},
        {"24", "..2024 г. :"},
        {"2403", ".03.2024 г. :"},
        {"24031514", "15.03.2024 г. 14:"},
        {"24031514051", "15.03.2024 г. 14:05:1"},
        {"240315140509+", "15.03.2024 г. 14:05:09 GMT +:"},
        {"240315140509+03", "15.03.2024 г. 14:05:09 GMT +03:"},
        {"240315140509+030", "15.03.2024 г. 14:05:09 GMT +03:0"},
        {"xy0315140509Z", "15.03.xy г. 14:05:09 по Гринвичу"},
    };
    for (const auto& c : utc) {
        const std::vector<char> exact(c.in.begin(), c.in.end());
        EXPECT_EQ(UtcTimeText(std::string_view(exact.data(), exact.size())), c.out) << c.in;
    }
    const std::vector<Case> generalized = {
        {"", ".. г. :"},
        {"2024031", "1.03.2024 г. :"},
        {"2024031514051", "15.03.2024 г. 14:05:1"},
        {"20240315140509-", "15.03.2024 г. 14:05:09 GMT -:"},
    };
    for (const auto& c : generalized) {
        const std::vector<char> exact(c.in.begin(), c.in.end());
        EXPECT_EQ(GeneralizedTimeText(std::string_view(exact.data(), exact.size())), c.out) << c.in;
    }
    EXPECT_EQ(TimeZoneText("Z", 1), " по Гринвичу");
    EXPECT_EQ(TimeZoneText("Z", 2), "");
    EXPECT_EQ(TimeZoneText("Z", 0), "");
    EXPECT_EQ(TimeZoneText("+1", 1), " GMT +1:");
    EXPECT_EQ(TimeZoneText("1234", 2), "");
}

}  // namespace
}  // namespace velmora
