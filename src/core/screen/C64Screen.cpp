#include "screen/C64Screen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "support/Bmp.h"
#include "support/Png.h"

namespace qv {

namespace {

constexpr ScreenCell kSpace = 32;
constexpr int kPi = 94;

const char* const kAllocateFailed = "C64Screen: Failed to allocate memory...aborted";
const char* const kReallocateFailed = "C64Screen: Error while reallocating memory...aborted";
const char* const kAddFailed = "C64Screen: Error adding Text...aborted";
const char* const kScanLineFailed = "C64Screen: Failed to get ScanLine...aborted";
const char* const kDrawFailed = "C64Screen: Error while drawing...aborted";
const char* const kTooLarge = "C64Screen: C64Screen too large.\nMax 9999 Bitmaps will be saved!";
const char* const kCompleteFailed = "C64Screen: Failed to save Complete Bitmap!";
const char* const kPageFailed = "C64Screen: Failed to save Bitmap!";

}  // namespace

ScreenSaveChoice screenSaveChoice(int filterIndex) {
    switch (filterIndex) {
        case 1:
            return {true, PictureFormat::Bmp};
        case 2:
            return {false, PictureFormat::Png};
        case 3:
            return {true, PictureFormat::Png};
        default:
            return {false, PictureFormat::Bmp};
    }
}

ZoomKey zoomKey(char key) {
    switch (key) {
        case '*':
            return ZoomKey::Reset;
        case '+':
            return ZoomKey::In;
        case '-':
            return ZoomKey::Out;
        default:
            return ZoomKey::None;
    }
}

ScreenCell petsciiToCell(std::uint8_t b) {
    bool reverse = b < 32 || (b >= 128 && b < 160);
    int code;
    if (b < 96) {
        code = b & 0x3F;
    } else if (b < 128) {
        code = b & 0x5F;
    } else {
        code = b | 0x40;
    }
    code &= 0x7F;
    return static_cast<ScreenCell>(code | (reverse ? kCellReverse : 0));
}

C64Screen::C64Screen(MessageFn message, const C64Palette& palette, std::size_t maxCells)
    : message_(std::move(message)),
      palette_(palette),
      charset_(Charset::builtin()),
      maxCells_(maxCells) {
    buildPixelTable();
    setGeometry(40);
    if (!allocate(kCapacityStep)) {
        report(kAllocateFailed);
    }
}

void C64Screen::report(const std::string& text) const {
    if (message_) {
        message_(text);
    }
}

bool C64Screen::allocate(std::size_t cells) {
    cells_ = std::vector<ScreenCell>();
    if (cells > maxCells_) {
        return false;
    }
    try {
        cells_.assign(cells, 0);
    } catch (const std::bad_alloc&) {
        cells_ = std::vector<ScreenCell>();
        return false;
    }
    return true;
}

bool C64Screen::grow(std::size_t needed) {
    if (needed <= cells_.size()) {
        return true;
    }
    // Whole steps of 100000 cells, as many as it takes.
    std::size_t steps = (needed - cells_.size() + kCapacityStep - 1) / kCapacityStep;
    std::size_t target = cells_.size() + steps * kCapacityStep;
    if (target > maxCells_) {
        return false;
    }
    try {
        cells_.resize(target, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void C64Screen::dropBuffer() {
    cells_ = std::vector<ScreenCell>();
    lineCount_ = 0;
    blankDrawn_ = false;
    updateScrollRange(false);
}

void C64Screen::setGeometry(int columns) {
    columns_ = columns;
    rows_ = columns == 80 ? 50 : 25;
    try {
        bitmap_ = Image32(width(), height(), palette_[6]);
    } catch (const std::bad_alloc&) {
        bitmap_ = Image32();  // render reports that it has no picture to draw into
    }
    blankDrawn_ = false;
}

void C64Screen::buildPixelTable() {
    pixelTable_.assign(256 * 8, 0);
    for (std::size_t value = 0; value < 256; ++value) {
        for (std::size_t x = 0; x < 8; ++x) {
            bool set = (value & (0x80u >> x)) != 0;
            pixelTable_[value * 8 + x] = set ? palette_[14] : palette_[6];
        }
    }
}

void C64Screen::setPalette(const C64Palette& palette) {
    palette_ = palette;
    buildPixelTable();
    blankDrawn_ = false;
}

void C64Screen::setCharset(const Charset& charset) {
    charset_ = charset;
}

bool C64Screen::useCharsetRom(const std::string& path) {
    CharsetLoad load = loadCharsetRom(path);
    if (!load.charset) {
        report(load.message);
        return false;
    }
    setCharset(*load.charset);
    return true;
}

ScreenCell C64Screen::cell(int row, int column) const {
    if (row < 0 || row >= lineCount_ || column < 0 || column >= columns_) {
        return kSpace;
    }
    std::size_t i = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                    static_cast<std::size_t>(column);
    return i < cells_.size() ? cells_[i] : kSpace;
}

void C64Screen::addLine(std::string_view s, bool escapes) {
    if (!hasBuffer()) {
        return;
    }
    if (limited_) {
        std::int64_t used = static_cast<std::int64_t>(lineCount_) * columns_;
        if (used >= textLimit_) {
            return;
        }
        if (used + static_cast<std::int64_t>(s.size()) >= textLimit_) {
            // Keep textLimit - used characters; an escape pair is one character.
            std::int64_t keep = textLimit_ - used;
            std::size_t i = 0;
            for (std::int64_t chars = 0; chars < keep && i < s.size(); ++chars) {
                bool pair = escapes && static_cast<std::uint8_t>(s[i]) == 255 && i + 1 < s.size();
                i += pair ? 2 : 1;
            }
            s = s.substr(0, i);
        }
    }

    const std::size_t n = s.size();
    const auto cols = static_cast<std::size_t>(columns_);
    const std::size_t needed = cols * (n / cols + static_cast<std::size_t>(lineCount_) + 1);
    if (!grow(needed)) {
        report(kReallocateFailed);
        dropBuffer();
        return;
    }

    const ScreenCell setBit = upperLower_ ? kCellUpperLower : 0;
    std::size_t row = static_cast<std::size_t>(lineCount_);
    std::size_t c = 0;
    std::size_t p = 0;  // character position in the line, for the reverse mask
    for (std::size_t i = 0; i < n; ++i, ++p) {
        auto b = static_cast<std::uint8_t>(s[i]);
        ScreenCell value;
        if (b == 255 && escapes && i + 1 < n) {
            // A pair that carries a byte the dump cannot show directly.
            auto second = static_cast<std::uint8_t>(s[++i]);
            if (second == 222) {
                value = kPi;  // the byte 255
            } else if (second == 128) {
                value = kCellReverse;  // the byte 0: a reversed at sign
            } else {
                value = 255;
            }
        } else if (b == 255) {
            // Without escapes (or as the last byte of a line) 255 is the C64's pi.
            value = kPi;
        } else {
            value = petsciiToCell(b);
        }
        if (!limited_ && p < reverseMask_.size() && reverseMask_[p]) {
            value |= kCellReverse;
        }
        value |= setBit;

        std::size_t at = row * cols + c;
        if (at >= cells_.size()) {
            // Cannot happen with the room made above; guard the buffer all the same.
            report(kAddFailed);
            dropBuffer();
            return;
        }
        cells_[at] = value;
        if (c + 1 == cols && n > cols && i + 1 < n) {
            ++row;
            c = 0;
        } else {
            ++c;
        }
    }
    if (c < cols) {
        std::fill(cells_.begin() + static_cast<std::ptrdiff_t>(row * cols + c),
                  cells_.begin() + static_cast<std::ptrdiff_t>((row + 1) * cols), kSpace);
    }
    lineCount_ = static_cast<int>(row + 1);
    updateScrollRange(true);
    render();
}

void C64Screen::clear() {
    lineCount_ = 0;
    drawOk_ = true;
    blankDrawn_ = false;
    if (!allocate(kCapacityStep)) {
        report(kAllocateFailed);
    }
    updateScrollRange(false);
    render();
}

void C64Screen::beginUpdate() {
    // Updates may nest; only the outermost one saves and restores the drawing state.
    if (updateDepth_++ == 0) {
        savedActive_ = active_;
        active_ = false;
    }
}

void C64Screen::endUpdate(bool showEnd) {
    if (updateDepth_ > 0) {
        if (--updateDepth_ > 0) {
            return;
        }
        active_ = savedActive_;
    }
    updateScrollRange(showEnd);
    render();
}

void C64Screen::setReverse(int first, int last, bool on) {
    first = std::max(first, 0);
    last = std::min(last, 79);
    for (int i = first; i <= last; ++i) {
        reverseMask_[static_cast<std::size_t>(i)] = on;
    }
}

void C64Screen::markHeader() {
    setReverse(0, 1, false);
    setReverse(2, 79, true);
}

void C64Screen::clearReverse() {
    reverseMask_.reset();
}

void C64Screen::setUpperLower(bool upperLower) {
    upperLower_ = upperLower;
}

void C64Screen::setColumns80(bool on, bool refill) {
    beginUpdate();
    if (refill) {
        clear();
    }
    if (on != columns80()) {
        if (on) {
            // An odd row of 40 would be cut off by halving: it gets a blank partner first.
            if (lineCount_ % 2 != 0 && hasBuffer()) {
                std::size_t end = static_cast<std::size_t>(lineCount_ + 1) * 40;
                if (grow(end)) {
                    std::fill(cells_.begin() + static_cast<std::ptrdiff_t>(end - 40),
                              cells_.begin() + static_cast<std::ptrdiff_t>(end), kSpace);
                    ++lineCount_;
                } else {
                    report(kReallocateFailed);
                    dropBuffer();
                }
            }
            lineCount_ /= 2;
        } else {
            lineCount_ *= 2;
        }
        setGeometry(on ? 80 : 40);
    }
    updateScrollRange(false);
    endUpdate(false);
}

void C64Screen::updateScrollRange(bool toEnd) {
    scrollMax_ = std::max(0, lineCount_ - shownRows());
    if (toEnd) {
        scrollPosition_ = scrollMax_;
    } else {
        scrollPosition_ = 0;
    }
}

void C64Screen::setScrollPosition(int row) {
    scrollPosition_ = std::clamp(row, 0, scrollMax_);
    render();
}

void C64Screen::wheel(int notches) {
    long long target =
        static_cast<long long>(scrollPosition_) + static_cast<long long>(notches) * wheelStep_;
    setScrollPosition(static_cast<int>(std::clamp<long long>(target, 0, scrollMax_)));
}

void C64Screen::setShownRows(int shown) {
    const int before = shownRows();
    shownRows_ = std::max(0, shown);
    if (shownRows() == before)
        return;
    const bool atEnd = scrollPosition_ >= scrollMax_;
    scrollMax_ = std::max(0, lineCount_ - shownRows());
    setScrollPosition(atEnd ? scrollMax_ : scrollPosition_);
}

void C64Screen::zoomOut() {
    zoom_ = std::max(0.5, zoom_ - 0.5);
}

C64Screen::Size C64Screen::clientSize(int scrollBarWidth) const {
    return Size{static_cast<int>(width() * zoom_) + kStrip + scrollBarWidth,
                static_cast<int>(height() * zoom_) + 2 * kStrip};
}

ScreenView screenView(const C64Screen& screen, int clientWidth, int clientHeight,
                      int scrollBarWidth, int scrollBarHeight) {
    const int strip = C64Screen::kStrip;
    const double zoom = screen.zoom();
    const int zoomedWidth = static_cast<int>(screen.width() * zoom);
    const int zoomedHeight = static_cast<int>(screen.height() * zoom);
    ScreenView v;
    v.x = strip;
    v.y = strip;
    v.width = std::max(0, clientWidth - strip - scrollBarWidth);
    v.horizontalBar = zoomedWidth > v.width;
    v.height = std::max(0, clientHeight - 2 * strip - (v.horizontalBar ? scrollBarHeight : 0));
    if (screen.width() <= 0 || screen.height() <= 0)
        return v;
    if (v.horizontalBar) {
        v.scaleX = zoom;
        v.panMax = zoomedWidth - v.width;
    } else {
        v.scaleX = static_cast<double>(v.width) / screen.width();
    }
    if (zoomedHeight > v.height) {
        v.scaleY = zoom;
        v.shownRows = std::max(1, static_cast<int>(v.height / (8 * zoom)));
    } else {
        v.scaleY = static_cast<double>(v.height) / screen.height();
        v.shownRows = screen.rows();
    }
    return v;
}

C64Screen::Size fitScreenWindow(const C64Screen& screen, int scrollBarWidth, int scrollBarHeight,
                                C64Screen::Size room) {
    C64Screen::Size size = screen.clientSize(scrollBarWidth);
    if (room.width > 0 && size.width > room.width) {
        size.width = room.width;
        size.height += scrollBarHeight;
    }
    if (room.height > 0)
        size.height = std::min(size.height, room.height);
    return size;
}

void C64Screen::drawPage(int firstRow, Image32& into) const {
    firstRow = std::max(firstRow, 0);
    if (into.width != width() || into.height != height() ||
        into.pixels.size() !=
            static_cast<std::size_t>(width()) * static_cast<std::size_t>(height())) {
        into = Image32(width(), height());
    }
    const auto cols = static_cast<std::size_t>(columns_);
    // Rows of text on this page; never more than the buffer holds.
    std::size_t stored = cols == 0 ? 0 : cells_.size() / cols;
    long long textRows = std::min<long long>({static_cast<long long>(lineCount_) - firstRow, rows_,
                                              static_cast<long long>(stored) - firstRow});
    textRows = std::max<long long>(textRows, 0);
    const std::uint32_t clearColour = palette_[6];
    std::uint32_t* out = into.pixels.data();
    const std::size_t pitch = static_cast<std::size_t>(width());
    for (int r = 0; r < rows_; ++r) {
        for (int y = 0; y < 8; ++y) {
            std::uint32_t* line =
                out + (static_cast<std::size_t>(r) * 8 + static_cast<std::size_t>(y)) * pitch;
            if (r >= textRows) {
                std::fill(line, line + pitch, clearColour);
                continue;
            }
            const ScreenCell* rowCells =
                cells_.data() +
                (static_cast<std::size_t>(firstRow) + static_cast<std::size_t>(r)) * cols;
            for (std::size_t col = 0; col < cols; ++col) {
                std::uint8_t bits = charset_.row(rowCells[col] & kCellGlyphMask, y);
                std::memcpy(line + col * 8, &pixelTable_[static_cast<std::size_t>(bits) * 8],
                            8 * sizeof(std::uint32_t));
            }
        }
    }
}

bool C64Screen::render() {
    if (!active_ || !drawOk_) {
        return false;
    }
    if (bitmap_.pixels.size() !=
        static_cast<std::size_t>(width()) * static_cast<std::size_t>(height())) {
        drawOk_ = false;
        report(kScanLineFailed);
        return false;
    }
    try {
        if (!hasBuffer()) {
            if (blankDrawn_) {
                return false;
            }
            std::fill(bitmap_.pixels.begin(), bitmap_.pixels.end(), palette_[6]);
            blankDrawn_ = true;
        } else {
            drawPage(scrollPosition_, bitmap_);
        }
        if (repaint_) {
            repaint_();
        }
    } catch (const std::exception&) {
        drawOk_ = false;
        report(kDrawFailed);
        return false;
    }
    return true;
}

int C64Screen::pagesToSave(int lineCount, int rows, bool* tooLarge) {
    // The scroll range ends at lineCount - rows; padding moves that end to a multiple of
    // rows, and each multiple up to it starts a page.
    rows = std::max(rows, 1);
    const long long end = std::max(0, lineCount - rows);
    const long long paddedEnd = (end + rows - 1) / rows * rows;
    const long long pages = paddedEnd / rows + 1;
    if (tooLarge != nullptr) {
        *tooLarge = pages > kMaxPages;
    }
    return static_cast<int>(std::min<long long>(pages, kMaxPages));
}

C64Screen::SaveResult C64Screen::saveBitmaps(const std::string& path, bool complete,
                                             PictureFormat format) {
    const auto save = [format](const std::string& name, const Image32& picture) {
        return format == PictureFormat::Png ? savePng(name, picture) : saveBmp(name, picture);
    };
    SaveResult result;
    Image32 page;
    if (!complete) {
        drawPage(scrollPosition_, page);
        result.ok = save(path, page);
        if (result.ok) {
            result.saved = 1;
            result.files.push_back(path);
        } else {
            report(kPageFailed);
        }
        return result;
    }

    bool tooLarge = false;
    const int pages = pagesToSave(lineCount_, rows_, &tooLarge);
    if (tooLarge) {
        report(kTooLarge);
    }

    // base_0001.ext: split the file name (not the folders) at its extension.
    std::filesystem::path chosen(path);
    std::string fileName = chosen.filename().string();
    std::string::size_type dot = fileName.rfind('.');
    std::string extension = dot == std::string::npos || dot == 0 ? "" : fileName.substr(dot);
    std::string base = path.substr(0, path.size() - extension.size());

    bool failed = false;
    // Rows past the text draw as blue, so the padding rows need no room in the buffer.
    for (int k = 1; k <= pages; ++k) {
        drawPage((k - 1) * rows_, page);
        char number[16];
        std::snprintf(number, sizeof number, "%04i", k);
        std::string name = base + "_" + number + extension;
        if (!save(name, page)) {
            failed = true;
            break;
        }
        ++result.saved;
        result.files.push_back(name);
    }
    if (failed) {
        report(kCompleteFailed);
    } else {
        std::error_code ec;
        std::filesystem::path folder = std::filesystem::absolute(chosen, ec).parent_path();
        report(std::to_string(result.saved) + " File(s) Saved to Folder " +
               (ec ? chosen.parent_path().string() : folder.string()));
        result.ok = true;
    }
    // The shown page is the end of the text again.
    updateScrollRange(true);
    render();
    return result;
}

}  // namespace qv
