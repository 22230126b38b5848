#include "platform/RichTextView.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "listing/ListingSave.h"
#include "support/CodePage.h"
#include "support/RtfReader.h"
#include "support/RtfWriter.h"

namespace qv::app {
namespace {

// Decodes 8-bit text, one character per byte, CR LF as one line break. Returns
// the byte offsets of the CR LF pairs.
std::vector<std::size_t> decode(std::string_view bytes, CodePage page, QString& out) {
    std::vector<std::size_t> breaks;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            breaks.push_back(i);
            out.append(QChar(u'\n'));
            ++i;
            continue;
        }
        const char32_t c = b == 0 ? U' ' : toUnicode(page, b);
        out.append(QChar(static_cast<char16_t>(c)));
    }
    return breaks;
}

void appendCp437(const QString& text, std::string& out) {
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == u'\n') {
            out += "\r\n";
        } else if (ch.isSurrogate()) {
            if (ch.isHighSurrogate())
                out += '?';
        } else {
            out += static_cast<char>(unicodeToCp437(u));
        }
    }
}

}  // namespace

RichTextView::RichTextView(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
    setReadOnly(true);
    // A read-only view still shows its caret and selection, so a find hit is seen.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setDefaultColour(Qt::black);
}

bool RichTextView::setCp437Text(std::string_view bytes) {
    pending_.clear();
    QString text;
    lineBreaks_ = decode(bytes, CodePage::Cp437, text);
    if (suspended_ > 0) {
        // Built in a document that no view lays out yet; the view takes it on resume.
        QTextEdit::clear();
        delete staged_;
        staged_ = new QTextDocument(this);
        staged_->setUndoRedoEnabled(false);
        staged_->setDefaultFont(font());
        staged_->setPlainText(text);
        return true;
    }
    setPlainText(text);
    return true;
}

void RichTextView::clearText() {
    lineBreaks_.clear();
    pending_.clear();
    delete staged_;
    staged_ = nullptr;
    clear();
}

void RichTextView::suspendUpdates() {
    if (suspended_++ == 0)
        setUpdatesEnabled(false);
}

void RichTextView::resumeUpdates() {
    if (suspended_ == 0)
        return;
    if (--suspended_ == 0) {
        applyStaged();
        setUpdatesEnabled(true);
        viewport()->update();
    }
}

void RichTextView::setDefaultColour(const QColor& colour) {
    defaultColour_ = colour;
    QPalette p = palette();
    p.setColor(QPalette::Text, colour);
    setPalette(p);
}

void RichTextView::colourPositions(std::size_t start, std::size_t end, const QColor& colour) {
    const std::size_t length = textLength();
    end = std::min(end, length);
    if (start >= end)
        return;
    if (suspended_ > 0) {
        pending_.push_back({start, end, colour});
        return;
    }
    QTextCursor c(document());
    c.setPosition(static_cast<int>(start));
    c.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setForeground(colour);
    c.mergeCharFormat(f);
}

void RichTextView::applyStaged() {
    if (!staged_ && !pending_.empty()) {
        // Colours laid over text that is already shown: the content moves into a
        // document that no view lays out, takes the colours there, and comes back.
        staged_ = document()->clone(this);
        staged_->setUndoRedoEnabled(false);
        staged_->setDefaultFont(document()->defaultFont());
    }
    if (!staged_)
        return;
    QTextCursor c(staged_);
    c.beginEditBlock();
    for (const PendingColour& p : pending_) {
        c.setPosition(static_cast<int>(p.start));
        c.setPosition(static_cast<int>(p.end), QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setForeground(p.colour);
        c.mergeCharFormat(f);
    }
    c.endEditBlock();
    pending_.clear();
    QTextDocument* old = ownDocument_;
    QTextDocument* doc = staged_;
    staged_ = nullptr;
    doc->setDefaultFont(font());
    QTextEdit::setDocument(doc);
    ownDocument_ = doc;
    delete old;
}

std::size_t RichTextView::viewPosition(std::size_t bytePosition) const {
    // Every CR LF that begins before the position gave one byte too many (a position
    // on the LF of a pair thereby stands on the line break).
    const auto it = std::lower_bound(lineBreaks_.begin(), lineBreaks_.end(), bytePosition);
    return bytePosition - static_cast<std::size_t>(it - lineBreaks_.begin());
}

void RichTextView::colourBytes(std::size_t start, std::size_t end, const QColor& colour) {
    colourPositions(viewPosition(start), viewPosition(end), colour);
}

std::size_t RichTextView::textLength() const {
    // The document counts one more character: the end of its last paragraph.
    const int n = (staged_ ? staged_ : document())->characterCount() - 1;
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void RichTextView::applyFont(const QFont& font) {
    setFont(font);
    if (staged_)
        staged_->setDefaultFont(font);
    document()->setDefaultFont(font);
    moveCursor(QTextCursor::Start);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void RichTextView::setWordWrap(bool on) {
    setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

RichDocument RichTextView::toDocument() const {
    RichDocument doc;
    doc.codePage = CodePage::Cp437;
    doc.font.name = ss(document()->defaultFont().family());
    doc.font.points = document()->defaultFont().pointSizeF();
    bool first = true;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (!first)
            doc.text += "\r\n";
        first = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const std::size_t start = doc.text.size();
            appendCp437(fragment.text(), doc.text);
            const QTextCharFormat f = fragment.charFormat();
            if (f.hasProperty(QTextFormat::ForegroundBrush)) {
                const QColor c = f.foreground().color();
                if (c != defaultColour_) {
                    const auto rgb = static_cast<Rgb>(c.rgb() & 0xFFFFFFu);
                    doc.setColour(start, doc.text.size(), rgb);
                }
            }
        }
    }
    return doc;
}

void RichTextView::setDocument(const RichDocument& document) {
    QString text;
    lineBreaks_ = decode(document.text, document.codePage, text);
    suspendUpdates();
    pending_.clear();
    setPlainText(text);
    for (const FormatRange& r : document.runs()) {
        if (r.format.colour) {
            const Rgb c = *r.format.colour;
            colourBytes(r.start, r.end,
                        QColor(static_cast<int>((c >> 16) & 0xFF),
                               static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF)));
        }
    }
    resumeUpdates();
}

std::string RichTextView::plainCp437() const {
    std::string out;
    appendCp437(toPlainText(), out);
    return out;
}

bool RichTextView::streamIn(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad())
        return false;
    if (looksLikeRtf(bytes)) {
        const std::optional<RichDocument> doc = readRtf(bytes);
        if (!doc)
            return false;
        setDocument(*doc);
    } else {
        setCp437Text(bytes);
    }
    return true;
}

bool RichTextView::streamOut(const std::string& path, bool rich) const {
    return writeFileAtomically(path, rich ? writeRtf(toDocument()) : plainCp437());
}

bool RichTextView::findText(const QString& text, bool matchCase, bool wholeWord) {
    if (text.isEmpty())
        return false;
    QTextDocument::FindFlags flags;
    if (matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (wholeWord)
        flags |= QTextDocument::FindWholeWords;
    const QTextCursor hit = document()->find(text, textCursor(), flags);
    if (hit.isNull())
        return false;
    setTextCursor(hit);
    ensureCursorVisible();
    return true;
}

void RichTextView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && escapeHook) {
        escapeHook();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

}  // namespace qv::app
