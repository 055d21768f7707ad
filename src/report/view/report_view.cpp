#include "report/view/report_view.h"

namespace velmora {

std::string BreaksAsNewlines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string_view TextAfterLastBreak(std::string_view text) {
    const std::size_t last = text.find_last_of("\r\n");
    return last == std::string_view::npos ? text : text.substr(last + 1);
}

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
