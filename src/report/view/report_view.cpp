#include "report/view/report_view.h"

namespace velmora {

void AddReportLine(ReportView& view, std::string_view text, Colour colour, FontStyle style,
                   int size) {
    view.StartLine(TextRun{std::string(text), colour, style, size, false});
}

void AppendReportText(ReportView& view, std::string_view text, Colour colour, FontStyle style,
                      int size) {
    view.AppendRun(TextRun{std::string(text), colour, style, size, false});
}

void AddReportLines(ReportView& view, const std::vector<std::string>& texts, Colour colour,
                    FontStyle style, int size) {
    for (const std::string& text : texts) {
        AddReportLine(view, text, colour, style, size);
    }
}

void AddPlainLine(ReportView& view, std::string_view text) {
    view.StartLine(TextRun{std::string(text), kBlack, FontStyle::Regular, 10, true});
}

}  // namespace velmora
