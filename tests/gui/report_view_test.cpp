#include "app/qt/qt_report_view.h"

#include "report/view/recording_view.h"

#include <gtest/gtest.h>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>

#include <functional>

namespace velmora {
namespace {

struct Piece {
    std::string text;
    int size;  // 0: no size of its own (the view's default font)
    bool bold;
    QRgb colour;  // 0 when the run has no colour of its own

    bool operator==(const Piece&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Piece& run) {
    return out << "\"" << run.text << "\" " << run.size << (run.bold ? " bold" : "") << " #"
               << std::hex << run.colour << std::dec;
}

// Every paragraph of the editor as its runs of text with their attributes.
std::vector<std::vector<Piece>> Paragraphs(const QTextEdit& edit) {
    std::vector<std::vector<Piece>> paragraphs;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        std::vector<Piece> runs;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            runs.push_back({it.fragment().text().toStdString(),
                            static_cast<int>(format.fontPointSize()),
                            format.fontWeight() == QFont::Bold,
                            format.hasProperty(QTextFormat::ForegroundBrush)
                                ? format.foreground().color().rgb()
                                : 0});
        }
        paragraphs.push_back(runs);
    }
    return paragraphs;
}

class ReportViewTest : public ::testing::Test {
  protected:
    ReportViewTest() : view_(&edit_) { edit_.setFont(QFont(QStringLiteral("Arial Cyr"), 10)); }

    QTextEdit edit_;
    QtReportView view_;
};

constexpr QRgb kOpaqueBlack = 0xFF000000;

TEST_F(ReportViewTest, EveryRunKeepsItsAttributes) {
    // Empty lines count as lines, also the very first one, and are as tall as
    // their size says.
    AddReportLines(view_, {"", "ПО КриптоПро:", ""}, kBlack, FontStyle::Regular, 12);
    EXPECT_EQ(edit_.document()->blockCount(), 3);
    EXPECT_EQ(edit_.toPlainText().toStdString(), "\nПО КриптоПро:\n");
    EXPECT_EQ(edit_.document()->firstBlock().charFormat().fontPointSize(), 12);
    view_.Clear();
    EXPECT_TRUE(edit_.document()->isEmpty());

    AddPlainLine(view_, "/tmp/user.cer");
    AddReportLine(view_, "", kBlack, FontStyle::Regular, 12);
    AddReportLine(view_, "Серийный номер: ", kBlack, FontStyle::Regular, 10);
    AppendReportText(view_, "0100", kBlack, FontStyle::Bold, 10);
    AppendReportText(view_, " и ", 0x123456, FontStyle::Regular, 8);
    AddReportLine(view_, " ", kBlack, FontStyle::Regular, 8);

    const std::vector<std::vector<Piece>> expected = {
        {{"/tmp/user.cer", 0, false, 0}},
        {},
        {{"Серийный номер: ", 10, false, kOpaqueBlack},
         {"0100", 10, true, kOpaqueBlack},
         {" и ", 8, false, 0xFF123456}},
        {{" ", 8, false, kOpaqueBlack}},
    };
    EXPECT_EQ(Paragraphs(edit_), expected);
    EXPECT_EQ(view_.LastLineText(), " ");
}

// A line break inside a text (CR LF, CR or LF) ends the line on screen once,
// and the last line is what follows the last one, as in the recording view.
TEST_F(ReportViewTest, CarriageReturnsBreakLinesLikeTheRecordingView) {
    const std::vector<std::vector<std::string>> cases = {
        {"abc"},
        {"a\rb"},
        {"a\rb\rc"},
        {"a\r"},
        {"", "x"},
        {"a\r", "b"},
        {"12\r34", "5"},
        {"line", "\r"},
        {"Отдел\rучёта"},
        // A name value holding a line break, in any of its three forms.
        {"a\r\nb"},
        {"a\nb"},
        {"a\n\rb"},
        {"a\r\n\r\nb", "\n"}};
    for (const auto& texts : cases) {
        RecordingView recording;
        view_.Clear();
        for (const std::string& text : texts) {
            AppendReportText(view_, text, kBlack, FontStyle::Regular, 10);
            AppendReportText(recording, text, kBlack, FontStyle::Regular, 10);
        }
        EXPECT_EQ(view_.LastLineText(), recording.LastLineText()) << texts[0];
        std::string shown = recording.PlainText();
        shown.pop_back();  // the recording ends every line with "\n"
        EXPECT_EQ(edit_.toPlainText().toStdString(), shown) << texts[0];
    }

    // A CR LF pair is one break, and so is a lone LF.
    view_.Clear();
    AddReportLine(view_, "a\r\nb", kBlack, FontStyle::Regular, 10);
    EXPECT_EQ(edit_.document()->blockCount(), 2);
    AddReportLine(view_, "c\nd", kBlack, FontStyle::Regular, 10);
    EXPECT_EQ(edit_.document()->blockCount(), 4);
    EXPECT_EQ(view_.LastLineText(), "d");
}

TEST_F(ReportViewTest, ScrollsToTheTopAfterAReport) {
    edit_.resize(300, 120);
    edit_.show();
    for (int i = 0; i < 200; ++i) {
        AddReportLine(view_, "строка " + std::to_string(i), kBlack, FontStyle::Regular, 10);
    }
    QTextCursor end = edit_.textCursor();
    end.movePosition(QTextCursor::End);
    edit_.setTextCursor(end);
    edit_.ensureCursorVisible();
    ASSERT_GT(edit_.verticalScrollBar()->value(), 0);

    view_.ScrollToTop();
    EXPECT_EQ(edit_.textCursor().position(), 0);
    EXPECT_EQ(edit_.verticalScrollBar()->value(), 0);
}

}  // namespace
}  // namespace velmora
