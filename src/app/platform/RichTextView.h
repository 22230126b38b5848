#pragma once

#include <QColor>
#include <QTextEdit>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/QtText.h"
#include "support/RichText.h"

namespace qv::app {

// The rich-text view of the listing, the file viewer and the GeoWrite window.
//
// Its callers keep code page 437 text with CR LF line ends and count a line break
// as two characters. The view shows that text decoded to Unicode, one character per
// byte, with a single paragraph break per CR LF; colourBytes() and friends convert
// the callers' byte positions to the view's own.
class RichTextView : public QTextEdit {
    Q_OBJECT
  public:
    explicit RichTextView(QWidget* parent = nullptr);

    // Replaces the content with code page 437 bytes (CR LF line ends).
    bool setCp437Text(std::string_view bytes);
    void clearText();
    // Stops and restarts redrawing around bulk work; calls may nest.
    void suspendUpdates();
    void resumeUpdates();
    bool updatesSuspended() const { return suspended_ > 0; }

    // Colour of text without a colour of its own.
    void setDefaultColour(const QColor& colour);
    // Colours [start, end) given in view positions (a line break is one character).
    void colourPositions(std::size_t start, std::size_t end, const QColor& colour);
    // Colours [start, end) given in byte positions of the text last set, CR LF
    // counting as two.
    void colourBytes(std::size_t start, std::size_t end, const QColor& colour);
    // A byte position of the text last set as a view position.
    std::size_t viewPosition(std::size_t bytePosition) const;
    // Number of characters, a line break counting one.
    std::size_t textLength() const;

    // Gives all text the font, then puts the caret at the start and the view at the top.
    void applyFont(const QFont& font);
    void setWordWrap(bool on);

    // The content as a document in code page 437 (CR LF, colours kept), and back.
    RichDocument toDocument() const;
    void setDocument(const RichDocument& document);
    // The content as code page 437 plain text with CR LF line ends.
    std::string plainCp437() const;

    // Loads a file: rich text when it begins with "{\rtf", plain text otherwise.
    bool streamIn(const std::string& path);
    // Writes the content as rich text or as code page 437 plain text.
    bool streamOut(const std::string& path, bool rich) const;

    // Searches downward from the caret (or the end of the selection); selects the hit.
    bool findText(const QString& text, bool matchCase, bool wholeWord);

    // Called when Escape is pressed in the view.
    std::function<void()> escapeHook;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Colours laid over the text while updates were suspended, applied in one step
    // on resume: the text and its colours go into a fresh document that is laid out
    // once, instead of once per range.
    void applyStaged();

    struct PendingColour {
        std::size_t start, end;
        QColor colour;
    };
    std::vector<PendingColour> pending_;
    QTextDocument* ownDocument_ = nullptr;
    QTextDocument* staged_ = nullptr;
    int suspended_ = 0;
    QColor defaultColour_{Qt::black};
    // Byte offsets of every CR LF of the text last set, for the position mapping.
    std::vector<std::size_t> lineBreaks_;
};

}  // namespace qv::app
