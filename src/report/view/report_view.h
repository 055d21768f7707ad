// The report view: where reports, progress lines and messages are written.
// The main window shows it as rich text, the command line prints it, tests
// record it. Writers never see which one they write to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

enum class FontStyle { Regular, Bold };

// 0xRRGGBB; the reports are always black.
using Colour = std::uint32_t;
inline constexpr Colour kBlack = 0x000000;

// One piece of text with its attributes. A plain run carries no attributes:
// the view's default font is used.
struct TextRun {
    std::string text;
    Colour colour = kBlack;
    FontStyle style = FontStyle::Regular;
    int size = 10;
    bool plain = false;

    bool operator==(const TextRun&) const = default;
};

class ReportView {
  public:
    virtual ~ReportView() = default;

    // Removes everything.
    virtual void Clear() = 0;
    // Starts a new line at the end with the run (the first line if empty).
    virtual void StartLine(const TextRun& run) = 0;
    // Continues the last line with the run (starts one if the view is empty).
    virtual void AppendRun(const TextRun& run) = 0;
    // The text of the last line as the view shows it: a line break inside a
    // run ends a line, so only what follows the last one counts.
    virtual std::string LastLineText() const = 0;
    // Puts the caret at the start and scrolls there.
    virtual void ScrollToTop() = 0;
    // Shows what was written so far before a long step runs.
    virtual void Repaint() {}
};

// Line breaks inside an inserted text: CR LF, a lone CR and a lone LF each
// end the line once, in every view.

// The text with each line break made one "\n".
std::string BreaksAsNewlines(std::string_view text);

// What follows the text's last line break (all of it when it has none).
std::string_view TextAfterLastBreak(std::string_view text);

// Starts a new line holding the text with the given attributes.
void AddReportLine(ReportView& view, std::string_view text, Colour colour, FontStyle style,
                   int size);
// Continues the last line with the text.
void AppendReportText(ReportView& view, std::string_view text, Colour colour, FontStyle style,
                      int size);
// One line per text, in order.
void AddReportLines(ReportView& view, const std::vector<std::string>& texts, Colour colour,
                    FontStyle style, int size);
// A line in the view's default font (the file name above a report).
void AddPlainLine(ReportView& view, std::string_view text);

}  // namespace velmora
