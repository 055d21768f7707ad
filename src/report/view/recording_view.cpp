#include "report/view/recording_view.h"

#include <cstdio>

namespace velmora {

void RecordingView::Clear() {
    lines_.clear();
    scrolled_to_top_ = false;
}

void RecordingView::StartLine(const TextRun& run) {
    lines_.push_back(Line{run});
    scrolled_to_top_ = false;
}

void RecordingView::AppendRun(const TextRun& run) {
    if (lines_.empty()) {
        lines_.emplace_back();
    }
    lines_.back().push_back(run);
    scrolled_to_top_ = false;
}

std::string RecordingView::LastLineText() const {
    if (lines_.empty()) {
        return {};
    }
    std::string text;
    for (const TextRun& run : lines_.back()) {
        text += run.text;
    }
    return std::string(TextAfterLastBreak(text));
}

std::string PlainRunText(const TextRun& run) {
    return BreaksAsNewlines(run.text);
}

std::string MarkedRunText(const TextRun& run) {
    std::string out;
    if (run.plain) {
        out += "{P}";
    } else {
        out += '{';
        out += run.style == FontStyle::Bold ? 'B' : 'R';
        out += std::to_string(run.size);
        if (run.colour != kBlack) {
            char colour[8];
            std::snprintf(colour, sizeof colour, "#%06X", run.colour & 0xFFFFFFu);
            out += colour;
        }
        out += '}';
    }
    for (char c : run.text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

std::string Render(const std::vector<RecordingView::Line>& lines,
                   std::string (*render_run)(const TextRun&)) {
    std::string out;
    for (const RecordingView::Line& line : lines) {
        for (const TextRun& run : line) {
            out += render_run(run);
        }
        out += '\n';
    }
    return out;
}

}  // namespace

std::string RecordingView::PlainText() const {
    return Render(lines_, PlainRunText);
}

std::string RecordingView::MarkedText() const {
    return Render(lines_, MarkedRunText);
}

}  // namespace velmora
