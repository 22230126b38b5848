#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "screen/Charset.h"
#include "screen/Palette.h"
#include "screen/ScreenSink.h"
#include "support/Image.h"

namespace qv {

// One character position of the screen: bits 0-6 the C64 screen code, bit 7 reverse
// video, bit 8 the character set (0 Upper/Graphics, 1 Upper/Lower). Bits 0-8 together are
// the glyph number 0-511.
using ScreenCell = std::uint16_t;
inline constexpr ScreenCell kCellCodeMask = 0x7F;
inline constexpr ScreenCell kCellReverse = 0x80;
inline constexpr ScreenCell kCellUpperLower = 0x100;
inline constexpr ScreenCell kCellGlyphMask = 0x1FF;

// The picture formats of "Save as...": the Windows bitmap, and PNG besides it.
enum class PictureFormat { Bmp, Png };

// The filter list of the screen's "Save as..." dialog: one page or the complete text,
// each as a bitmap or as PNG.
inline constexpr const char* kScreenSaveFilter =
    "Bitmap (*.BMP)|*.BMP|Complete Bitmap (*.BMP)|*.BMP|"
    "PNG (*.PNG)|*.PNG|Complete PNG (*.PNG)|*.PNG";

// What the chosen filter (0-based, in the order of kScreenSaveFilter) saves; an unknown
// index saves the shown page as a bitmap.
struct ScreenSaveChoice {
    bool complete = false;
    PictureFormat format = PictureFormat::Bmp;
};
ScreenSaveChoice screenSaveChoice(int filterIndex);

// The zoom keys of the screen window, by the character a key types: "*" shows 100%,
// "+" zooms in and "-" zooms out, from the numeric pad or the main keyboard, with
// whatever Shift the keyboard layout needs for the character. So the key a user
// presses does what its printed symbol says on any layout; on a German keyboard
// Shift with the "+" key types "*" and shows 100%.
enum class ZoomKey { None, Reset, In, Out };
ZoomKey zoomKey(char key);

// The screen code and reverse flag that the C64 shows for a PETSCII byte inside quotes:
// control codes (0-31, 128-159) appear reversed.
ScreenCell petsciiToCell(std::uint8_t petscii);

// The C64 screen: everything added since the last clear, kept as screen cells and drawn
// page by page with the C64 glyphs into a 32-bit picture, light blue (palette colour 14) on
// blue (colour 6). The window around it is thin: it shows bitmap(), forwards the scroll
// bar, the wheel and the zoom keys, and calls render when it needs a fresh picture.
//
// Two instances exist: the main screen (unlimited, always 40 columns, applies the reverse
// mask) and the file viewer's (limited: holds at most textLimit characters and can switch
// to 80 columns). Memory and drawing failures are reported through the message callback
// with the program's "C64Screen: ..." texts and leave the screen in a safe state.
class C64Screen : public ScreenSink {
  public:
    using MessageFn = std::function<void(const std::string&)>;
    using RepaintFn = std::function<void()>;

    static constexpr std::size_t kCapacityStep = 100000;  // cells per buffer growth
    // The most cells the buffer may hold (four per character of 200 million); growing past
    // it is reported like any other failed allocation.
    static constexpr std::size_t kDefaultMaxCells = 200000000;
    static constexpr int kDefaultTextLimit = 10000;
    static constexpr int kMaxPages = 9999;  // bitmaps saved for the complete text
    static constexpr int kStrip = 17;       // pixels of the window strips around the picture
    static constexpr int kLargeScrollStep = 5;
    static constexpr int kDefaultWheelStep = 3;

    struct Size {
        int width = 0;
        int height = 0;
    };

    struct SaveResult {
        bool ok = false;
        int saved = 0;                   // bitmaps written
        std::vector<std::string> files;  // their paths, in page order
    };

    // maxCells bounds the buffer (tests use a small bound to see the memory failures).
    explicit C64Screen(MessageFn message = {}, const C64Palette& palette = kDefaultC64Palette,
                       std::size_t maxCells = kDefaultMaxCells);

    // What the listing, the detokenizer and the viewers feed in.
    void addLine(std::string_view petscii, bool escapes) override;
    void clear() override;
    void beginUpdate() override;
    void endUpdate(bool showEnd) override;
    void setReverse(int first, int last, bool on) override;
    void markHeader() override;
    void clearReverse() override;
    void setUpperLower(bool upperLower) override;

    // The instance: the file viewer's screen is limited and may show 80 columns.
    void setLimited(bool limited) { limited_ = limited; }
    bool limited() const { return limited_; }
    void setTextLimit(int characters) { textLimit_ = characters < 0 ? 0 : characters; }
    int textLimit() const { return textLimit_; }
    // Switches between 40 columns (320 x 200) and 80 columns (640 x 400). With refill the
    // screen is cleared first, because the caller fills it again; otherwise the rows already
    // there are re-laid in place: two rows of 40 become one row of 80 and back.
    void setColumns80(bool on, bool refill);
    bool columns80() const { return columns_ == 80; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    int width() const { return columns_ * 8; }
    int height() const { return rows_ * 8; }

    void setPalette(const C64Palette& palette);
    const C64Palette& palette() const { return palette_; }
    // Replaces the glyphs (the built-in set, or a user's character ROM).
    void setCharset(const Charset& charset);
    // Loads a user's 4096-byte character ROM dump and draws with it from now on. A file that
    // cannot be used is reported through the message callback and the glyphs stay as they
    // were; returns whether the dump is in use.
    bool useCharsetRom(const std::string& path);
    const Charset& charset() const { return charset_; }

    // The text.
    bool hasBuffer() const { return !cells_.empty(); }
    int lineCount() const { return lineCount_; }
    std::size_t capacity() const { return cells_.size(); }
    // The cell at a row and column of the text; a space outside it.
    ScreenCell cell(int row, int column) const;
    const std::bitset<80>& reverseMask() const { return reverseMask_; }
    bool upperLower() const { return upperLower_; }

    // The vertical scroll bar: 0 to scrollMax, the first visible row.
    int scrollPosition() const { return scrollPosition_; }
    int scrollMax() const { return scrollMax_; }
    void setScrollPosition(int row);  // clamped to the range; redraws
    // Moves by wheelStep rows per notch, positive notches downwards, within the range.
    void wheel(int notches);
    void setWheelStep(int rows) { wheelStep_ = rows > 0 ? rows : kDefaultWheelStep; }
    int wheelStep() const { return wheelStep_; }

    // The rows the window shows whole (all rows of the page unless the zoomed picture is
    // cut off); the scroll range reaches to the row that shows the last text row. A
    // screen shown at its end stays at the end.
    void setShownRows(int shown);
    int shownRows() const { return shownRows_ > 0 && shownRows_ < rows_ ? shownRows_ : rows_; }

    // Zoom: 1.0 at start, steps of 0.5, never below 0.5.
    double zoom() const { return zoom_; }
    void zoomIn() { zoom_ += 0.5; }
    void zoomOut();
    void resetZoom() { zoom_ = 1.0; }
    // The client area for the zoomed picture: the picture plus the left strip and the
    // scroll bar across, plus the top and bottom strips down.
    Size clientSize(int scrollBarWidth) const;

    // Drawing. Only an active screen draws; a drawing failure stops drawing until clear.
    // Shown (true) or closed. During an update the state is kept for the update's end to
    // restore, so a window closed meanwhile stays without drawing.
    void setActive(bool active) {
        if (updateDepth_ > 0)
            savedActive_ = active;
        else
            active_ = active;
    }
    bool active() const { return active_; }
    bool drawOk() const { return drawOk_; }
    bool blankDrawn() const { return blankDrawn_; }
    // Called after each drawn page, for the window to show bitmap().
    void setRepaint(RepaintFn repaint) { repaint_ = std::move(repaint); }
    // Draws the visible page into bitmap(); returns whether it drew.
    bool render();
    const Image32& bitmap() const { return bitmap_; }
    // Draws the page that starts at firstRow into a picture of the screen's size, whatever
    // the drawing state; rows past the text are blue.
    void drawPage(int firstRow, Image32& into) const;

    // "Save as...": the visible page to path, or with complete the whole text as one
    // picture per page, base_0001.ext, base_0002.ext, ... (at most 9999).
    SaveResult saveBitmaps(const std::string& path, bool complete,
                           PictureFormat format = PictureFormat::Bmp);
    // How many bitmaps the complete text of lineCount rows gives with pages of rows rows:
    // the last page is filled up with empty rows; more than 9999 pages are cut to 9999
    // and tooLarge is set.
    static int pagesToSave(int lineCount, int rows, bool* tooLarge = nullptr);

  private:
    void report(const std::string& text) const;
    bool allocate(std::size_t cells);  // a fresh buffer of that many cells
    bool grow(std::size_t needed);     // keeps the contents
    void dropBuffer();
    void setGeometry(int columns);
    void updateScrollRange(bool toEnd);
    void buildPixelTable();

    MessageFn message_;
    RepaintFn repaint_;
    C64Palette palette_;
    Charset charset_;
    std::size_t maxCells_;

    std::vector<ScreenCell> cells_;  // capacity() cells; empty when there is no buffer
    int lineCount_ = 0;
    int columns_ = 40;
    int rows_ = 25;
    std::bitset<80> reverseMask_;
    bool upperLower_ = false;
    bool limited_ = false;
    int textLimit_ = kDefaultTextLimit;

    int scrollPosition_ = 0;
    int scrollMax_ = 0;
    int wheelStep_ = kDefaultWheelStep;
    int shownRows_ = 0;  // 0: the whole page
    double zoom_ = 1.0;

    bool active_ = false;
    bool savedActive_ = false;
    int updateDepth_ = 0;
    bool drawOk_ = true;
    bool blankDrawn_ = false;
    Image32 bitmap_;
    // The 8 pixels of every glyph row byte, in the two screen colours.
    std::vector<std::uint32_t> pixelTable_;
};

// How the screen window shows the picture in its client area. Left of the vertical
// scroll bar and inside the light blue strips is the picture area. Where the zoomed
// picture fits into it, the picture is stretched over the whole area (as far as the
// user made the window larger); where it does not, it is drawn at the zoom and cut
// off: across, a horizontal scroll bar at the bottom moves it (by panMax pixels at
// most); down, the rows below the area are reached with the vertical scroll bar, which
// then scrolls through the rows that are shown whole.
struct ScreenView {
    int x = 0;  // the picture area in the client area
    int y = 0;
    int width = 0;
    int height = 0;
    double scaleX = 1.0;  // client pixels per picture pixel
    double scaleY = 1.0;
    bool horizontalBar = false;
    int panMax = 0;
    int shownRows = 0;
};
ScreenView screenView(const C64Screen& screen, int clientWidth, int clientHeight,
                      int scrollBarWidth, int scrollBarHeight);

// The client size of the screen window after a zoom: the zoomed picture with its strips
// and scroll bar (Size of clientSize), within room, the client size the screen gives
// the window. A picture wider than room gets the horizontal scroll bar below it.
C64Screen::Size fitScreenWindow(const C64Screen& screen, int scrollBarWidth, int scrollBarHeight,
                                C64Screen::Size room);

}  // namespace qv
