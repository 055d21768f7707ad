// The report view of the main window: a read-only rich-text editor in which
// every run keeps its own size, weight and colour.
#pragma once

#include "report/view/report_view.h"

#include <QTextCharFormat>

class QTextCursor;
class QTextEdit;

namespace velmora {

class QtReportView : public ReportView {
  public:
    // Writes into the editor, which must outlive the view. Program-written
    // text is not undoable: the editor's undo history is switched off.
    explicit QtReportView(QTextEdit* edit);

    void Clear() override;
    void StartLine(const TextRun& run) override;
    void AppendRun(const TextRun& run) override;
    // The last paragraph's text.
    std::string LastLineText() const override;
    void ScrollToTop() override;
    // Paints what was written and lets pending paint events through, so a
    // progress line is seen before a long step; user input waits.
    void Repaint() override;

  private:
    QTextCharFormat FormatOf(const TextRun& run) const;
    // Inserts the run's text at the cursor. Each line break (CR LF, a lone
    // CR or a lone LF) starts a new paragraph.
    void Insert(QTextCursor& cursor, const TextRun& run);

    QTextEdit* edit_;
    // Whether a line was started since the last Clear: an empty first line
    // leaves the document empty, and the next line must still come below it.
    bool has_line_ = false;
};

}  // namespace velmora
