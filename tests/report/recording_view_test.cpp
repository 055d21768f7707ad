#include "report/view/recording_view.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(RecordingView, KeepsRunsAndRendersPlainAndMarkedText) {
    RecordingView view;
    EXPECT_EQ(view.LastLineText(), "");
    AppendReportText(view, "a", kBlack, FontStyle::Regular, 10);  // starts the first line
    EXPECT_EQ(view.LastLineText(), "a");
    view.Clear();
    EXPECT_TRUE(view.Lines().empty());

    AddPlainLine(view, "C:/data/a.cer");
    AddReportLine(view, "Серийный номер: ", kBlack, FontStyle::Regular, 10);
    AppendReportText(view, "01AB", kBlack, FontStyle::Bold, 10);
    AddReportLines(view, {"00 11 \r22 33 \r"}, kBlack, FontStyle::Bold, 8);
    // The last line is what follows the last carriage return.
    EXPECT_EQ(view.LastLineText(), "");
    AddReportLines(view, {" "}, kBlack, FontStyle::Bold, 8);
    EXPECT_EQ(view.LastLineText(), " ");

    ASSERT_EQ(view.Lines().size(), 4u);
    EXPECT_EQ(view.Lines()[1][1], (TextRun{"01AB", kBlack, FontStyle::Bold, 10, false}));
    EXPECT_EQ(view.PlainText(), "C:/data/a.cer\nСерийный номер: 01AB\n00 11 \n22 33 \n\n \n");
    EXPECT_EQ(view.MarkedText(),
              "{P}C:/data/a.cer\n{R10}Серийный номер: {B10}01AB\n{B8}00 11 \\r22 33 \\r\n{B8} \n");
}

// A line break in a value ends the printed line once, whichever form it has.
TEST(RecordingView, EveryFormOfLineBreakEndsTheLineOnce) {
    RecordingView view;
    AddReportLine(view, "Улица: ", kBlack, FontStyle::Regular, 10);
    AppendReportText(view, "д. 4\r\nкорп. 2\rкв. 7\nподъезд 1", kBlack, FontStyle::Bold, 10);
    EXPECT_EQ(view.PlainText(), "Улица: д. 4\nкорп. 2\nкв. 7\nподъезд 1\n");
    EXPECT_EQ(view.LastLineText(), "подъезд 1");
    EXPECT_EQ(view.MarkedText(), "{R10}Улица: {B10}д. 4\\r\\nкорп. 2\\rкв. 7\\nподъезд 1\n");
}

}  // namespace
}  // namespace velmora
