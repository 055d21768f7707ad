#include "cli/console_view.h"

#include "report/view/recording_view.h"

namespace velmora::cli {

void ConsoleView::Clear() {
    Finish();
    last_text_.clear();
}

void ConsoleView::StartLine(const TextRun& run) {
    Finish();
    has_line_ = true;
    AppendRun(run);
}

void ConsoleView::AppendRun(const TextRun& run) {
    has_line_ = true;
    line_ += format_ == OutputFormat::Marked ? MarkedRunText(run) : PlainRunText(run);
    last_text_ += run.text;
    last_text_ = std::string(TextAfterLastBreak(last_text_));
}

std::string ConsoleView::LastLineText() const {
    return last_text_;
}

void ConsoleView::Repaint() {
    Flush();
    out_.flush();
}

void ConsoleView::Flush() {
    out_ << std::string_view(line_).substr(printed_);
    printed_ = line_.size();
}

void ConsoleView::Finish() {
    if (!has_line_) {
        return;
    }
    Flush();
    out_ << '\n';
    line_.clear();
    printed_ = 0;
    last_text_.clear();
    has_line_ = false;
}

}  // namespace velmora::cli
