// The whole report of every fixture certificate and request, every run with
// its style and size, against the reviewed expected report in golden/.
// VELMORA_UPDATE_GOLDEN=1 rewrites the expected files instead (review the
// difference before committing it).

#include "fixture_files.h"
#include "report/build/build_report.h"
#include "report/view/recording_view.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velmora {
namespace {

// The forms of one object share one expected report: ee-256.pem,
// ee-256-b64.cer, ee-256-crlf.pem and ee-256-pem.cer all read as ee-256.
std::string GoldenName(const std::filesystem::path& fixture) {
    std::string name = fixture.stem().string();
    for (const std::string suffix : {"-b64", "-pem", "-crlf"}) {
        if (name.size() > suffix.size() && name.ends_with(suffix)) {
            name.resize(name.size() - suffix.size());
        }
    }
    return name + ".txt";
}

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(GoldenReport, EveryFixtureReportsAsReviewed) {
    testing::UseMoscowTime();
    const bool update = std::getenv("VELMORA_UPDATE_GOLDEN") != nullptr;
    const auto fixtures = testing::ReportFixtures();
    ASSERT_GE(fixtures.size(), 20u) << "fixtures missing in " << testing::FixtureFolder();
    for (const std::filesystem::path& fixture : fixtures) {
        SCOPED_TRACE(fixture.filename().string());
        RecordingView view;
        BuildReport(testing::DecodeFixture(fixture), view);
        EXPECT_TRUE(view.ScrolledToTop());
        const std::filesystem::path golden = testing::GoldenFolder() / GoldenName(fixture);
        if (update) {
            std::ofstream(golden, std::ios::binary) << view.MarkedText();
            continue;
        }
        ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
        EXPECT_EQ(view.MarkedText(), ReadText(golden));
    }
}

std::string HexDigits(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c != ' ') {
            digits += c;
        }
    }
    return digits;
}

// The texts of the lines that follow the line with the label, up to the first
// line that is not bold.
std::string BoldLinesAfter(const RecordingView& view, std::string_view label) {
    const auto& lines = view.Lines();
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].front().text != label) {
            continue;
        }
        for (std::size_t j = i + 1; j < lines.size() && lines[j].front().style == FontStyle::Bold;
             ++j) {
            joined += lines[j].front().text;
        }
    }
    return joined;
}

TEST(GoldenReport, LongHexValuesKeepEveryDigitAcrossLines) {
    // Keys and signatures of an odd byte count do not break at a blank; no
    // digit may be lost where such a value is cut into lines.
    for (const std::filesystem::path& fixture : testing::ReportFixtures()) {
        SCOPED_TRACE(fixture.filename().string());
        const TRCstruct record = testing::DecodeFixture(fixture);
        RecordingView view;
        BuildReport(record, view);
        EXPECT_EQ(HexDigits(BoldLinesAfter(view, "Значение открытого ключа: ")),
                  HexDigits(record.PublicKey.Value));
        EXPECT_EQ(HexDigits(BoldLinesAfter(view, "Распечатка значения подписи : ")),
                  HexDigits(record.Signature.Value + record.SignatureCheck));
    }
}

}  // namespace
}  // namespace velmora
