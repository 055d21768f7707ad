// A report view that prints to a stream as it is written: a line goes out
// when the next one starts, when the view is repainted (so that progress
// lines show while a long step runs) and when the view is finished. Only a
// repaint flushes the stream: a report of hundreds of lines leaves in a few
// large writes, not one per line.
#pragma once

#include "report/view/report_view.h"

#include <ostream>
#include <string>

namespace velmora::cli {

enum class OutputFormat { Plain, Marked };

class ConsoleView : public ReportView {
  public:
    ConsoleView(std::ostream& out, OutputFormat format) : out_(out), format_(format) {}
    ~ConsoleView() override { Finish(); }

    ConsoleView(const ConsoleView&) = delete;
    ConsoleView& operator=(const ConsoleView&) = delete;

    // Nothing already printed can be taken back; clearing starts afresh below it.
    void Clear() override;
    void StartLine(const TextRun& run) override;
    void AppendRun(const TextRun& run) override;
    std::string LastLineText() const override;
    void ScrollToTop() override {}
    void Repaint() override;

    // Prints the rest of the last line and its line end.
    void Finish();

  private:
    void Flush();

    std::ostream& out_;
    OutputFormat format_;
    bool has_line_ = false;
    std::string line_;         // the current line as printed, in the output format
    std::size_t printed_ = 0;  // how much of line_ is out already
    std::string last_text_;    // the current line's own text, for LastLineText
};

}  // namespace velmora::cli
