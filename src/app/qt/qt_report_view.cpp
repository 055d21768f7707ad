#include "app/qt/qt_report_view.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace velmora {
QtReportView::QtReportView(QTextEdit* edit) : edit_(edit) {
    edit_->setUndoRedoEnabled(false);
}

void QtReportView::Clear() {
    edit_->clear();
    has_line_ = false;
}

QTextCharFormat QtReportView::FormatOf(const TextRun& run) const {
    // A plain run takes everything from the document's default font and the
    // editor's palette; an attributed one sets size, weight and colour and
    // keeps the default family.
    QTextCharFormat format;
    if (run.plain) {
        return format;
    }
    format.setFontPointSize(run.size);
    format.setFontWeight(run.style == FontStyle::Bold ? QFont::Bold : QFont::Normal);
    format.setForeground(QColor::fromRgb(static_cast<QRgb>(run.colour & 0xFFFFFFu)));
    return format;
}

void QtReportView::Insert(QTextCursor& cursor, const TextRun& run) {
    const QTextCharFormat format = FormatOf(run);
    const QString text = QString::fromStdString(run.text);
    QString piece;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            cursor.insertText(piece, format);
            piece.clear();
            cursor.insertBlock(QTextBlockFormat(), format);
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
        } else {
            piece += c;
        }
    }
    cursor.insertText(piece, format);
}

void QtReportView::StartLine(const TextRun& run) {
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    if (has_line_) {
        cursor.insertBlock(QTextBlockFormat(), FormatOf(run));
    } else {
        // The document's first paragraph already exists; it takes the run's
        // format so that an empty first line has the run's height.
        cursor.setBlockCharFormat(FormatOf(run));
        has_line_ = true;
    }
    Insert(cursor, run);
}

void QtReportView::AppendRun(const TextRun& run) {
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    has_line_ = true;
    Insert(cursor, run);
}

std::string QtReportView::LastLineText() const {
    return edit_->document()->lastBlock().text().toStdString();
}

void QtReportView::ScrollToTop() {
    QTextCursor cursor = edit_->textCursor();
    cursor.movePosition(QTextCursor::Start);
    edit_->setTextCursor(cursor);
    edit_->ensureCursorVisible();
    // Bringing the caret into sight stops short of the document's top margin.
    edit_->verticalScrollBar()->setValue(edit_->verticalScrollBar()->minimum());
}

void QtReportView::Repaint() {
    edit_->viewport()->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace velmora
