// A report view that keeps what is written, run by run. The command line
// prints it; tests compare it with expected reports.
#pragma once

#include "report/view/report_view.h"

#include <string>
#include <vector>

namespace velmora {

// A run as a plain view shows it: its text, each line break (CR LF, CR or
// LF) one "\n".
std::string PlainRunText(const TextRun& run);

// A run marked with its attributes: "{P}" for a plain run, else "{" + R or B
// + size + "}" (and "#RRGGBB" after the size when not black) before its text;
// a carriage return is written as "\r", a line feed as "\n" and a
// backslash as "\\".
std::string MarkedRunText(const TextRun& run);

class RecordingView : public ReportView {
  public:
    using Line = std::vector<TextRun>;

    void Clear() override;
    void StartLine(const TextRun& run) override;
    void AppendRun(const TextRun& run) override;
    std::string LastLineText() const override;
    void ScrollToTop() override { scrolled_to_top_ = true; }

    const std::vector<Line>& Lines() const { return lines_; }
    bool ScrolledToTop() const { return scrolled_to_top_; }

    // The text as a plain view shows it: the runs of a line joined, one
    // output line per line of the view, a line break inside a text ending
    // the line; each output line ends with "\n".
    std::string PlainText() const;

    // The same lines with every run marked by its attributes (MarkedRunText),
    // for reviewing and comparing reports.
    std::string MarkedText() const;

  private:
    std::vector<Line> lines_;
    bool scrolled_to_top_ = false;
};

}  // namespace velmora
