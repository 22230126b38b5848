#include "support/RtfReader.h"
#include "support/Text.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace qv {
namespace {

enum class Dest { Text, FontTable, ColourTable, Skip };

// What a group inherits from its parent and restores when it ends.
struct GroupState {
    Dest dest = Dest::Text;
    long colour = 0;
    long font = -1;  // -1: the default font (\deff)
    long halfPoints = 24;
    long uc = 1;
};

struct FontEntry {
    std::string name;
    long charset = -1;
    bool nameDone = false;
};

// Destinations whose content is not document text.
constexpr std::string_view kSkippedDestinations[] = {
    "annotation",
    "atnauthor",
    "atnid",
    "author",
    "bkmkend",
    "bkmkstart",
    "buptim",
    "colorschememapping",
    "comment",
    "creatim",
    "datastore",
    "docvar",
    "doccomm",
    "falt",
    "fldinst",
    "filetbl",
    "footer",
    "footerf",
    "footerl",
    "footerr",
    "footnote",
    "generator",
    "header",
    "headerf",
    "headerl",
    "headerr",
    "info",
    "keywords",
    "latentstyles",
    "listtable",
    "listoverridetable",
    "mmathPr",
    "nonshppict",
    "object",
    "objdata",
    "operator",
    "panose",
    "pgdsctbl",
    "pict",
    "printim",
    "private",
    "revtbl",
    "revtim",
    "rsidtbl",
    "shp",
    "shpinst",
    "sp",
    "stylesheet",
    "subject",
    "tc",
    "themedata",
    "title",
    "txe",
    "xe",
    "xmlnstbl",
};

bool isSkippedDestination(std::string_view word) {
    return std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
           std::end(kSkippedDestinations);
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

class RtfParser {
  public:
    RtfParser(std::string_view in, CodePage target) : in_(in), target_(target) {
        doc_.codePage = target;
    }

    RichDocument parse() {
        stack_.push_back(GroupState{});
        while (pos_ < in_.size()) {
            const char ch = in_[pos_++];
            if (ch == '{') {
                skip_ = 0;
                stack_.push_back(stack_.back());
            } else if (ch == '}') {
                skip_ = 0;
                if (stack_.size() > 1) {
                    stack_.pop_back();
                }
                if (stack_.size() == 1) {
                    break;  // the document's group has ended
                }
            } else if (ch == '\\') {
                control();
            } else if (ch != '\r' && ch != '\n') {
                literal(static_cast<std::uint8_t>(ch));
            }
        }
        if (!fontTaken_) {
            takeFont(GroupState{});
        }
        return std::move(doc_);
    }

  private:
    GroupState& state() { return stack_.back(); }

    void control() {
        if (pos_ >= in_.size()) {
            return;
        }
        const char c = in_[pos_];
        if (isLetter(c)) {
            const std::size_t start = pos_;
            while (pos_ < in_.size() && isLetter(in_[pos_])) {
                ++pos_;
            }
            const std::string_view word = in_.substr(start, pos_ - start);
            bool hasParam = false;
            bool negative = false;
            long param = 0;
            if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
                isDigit(in_[pos_ + 1])) {
                negative = true;
                ++pos_;
            }
            while (pos_ < in_.size() && isDigit(in_[pos_])) {
                hasParam = true;
                if (param < 100000000) {
                    param = param * 10 + (in_[pos_] - '0');
                }
                ++pos_;
            }
            if (negative) {
                param = -param;
            }
            if (pos_ < in_.size() && in_[pos_] == ' ') {
                ++pos_;
            }
            controlWord(word, hasParam, param);
            return;
        }
        ++pos_;
        switch (c) {
            case '\'': {
                // Two hex digits; a broken escape is dropped with the digit it has.
                int value = -1;
                const int high = pos_ < in_.size() ? hexValue(in_[pos_]) : -1;
                const int low = pos_ + 1 < in_.size() ? hexValue(in_[pos_ + 1]) : -1;
                if (high >= 0 && low >= 0) {
                    value = high * 16 + low;
                    pos_ += 2;
                } else if (high >= 0) {
                    ++pos_;
                }
                if (value >= 0) {
                    escapedByte(static_cast<std::uint8_t>(value));
                }
                break;
            }
            case '\\':
            case '{':
            case '}':
                literal(static_cast<std::uint8_t>(c));
                break;
            case '~':
                symbol(0xA0);
                break;
            case '_':
                symbol('-');
                break;
            case '-':
                symbol(0);  // optional hyphen: nothing to show
                break;
            case '*':
                state().dest = Dest::Skip;  // a destination this reader does not know
                break;
            case '\r':
            case '\n':
                symbol('\n');
                break;
            default:
                break;
        }
    }

    // Consumes one fallback character of a Unicode escape; true when it did.
    bool skipFallback() {
        if (skip_ > 0) {
            --skip_;
            return true;
        }
        return false;
    }

    void controlWord(std::string_view word, bool hasParam, long param) {
        if (word == "bin") {
            // Binary data: skip it whatever the destination.
            const auto count = static_cast<std::size_t>(std::max(0L, param));
            pos_ += std::min(count, in_.size() - pos_);
            return;
        }
        GroupState& st = state();
        if (st.dest == Dest::Skip) {
            return;
        }
        if (word == "u") {
            unicode(param);
            return;
        }
        if (skipFallback()) {
            return;
        }
        if (isSkippedDestination(word)) {
            st.dest = Dest::Skip;
            return;
        }
        if (word == "fonttbl") {
            st.dest = Dest::FontTable;
            return;
        }
        if (word == "colortbl") {
            st.dest = Dest::ColourTable;
            colours_.clear();
            resetColour();
            return;
        }
        if (word == "uc") {
            st.uc = std::clamp(param, 0L, 10L);
            return;
        }
        if (st.dest == Dest::FontTable) {
            if (word == "f") {
                currentFont_ = param;
                fonts_[param] = FontEntry{};
            } else if (word == "fcharset" && currentFont_ != kNoFont) {
                fonts_[currentFont_].charset = param;
            }
            return;
        }
        if (st.dest == Dest::ColourTable) {
            if (word == "red") {
                red_ = param;
            } else if (word == "green") {
                green_ = param;
            } else if (word == "blue") {
                blue_ = param;
            } else {
                return;
            }
            colourSeen_ = true;
            return;
        }
        // Document text.
        if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row") {
            emitLineBreak();
        } else if (word == "tab" || word == "cell") {
            emit('\t');
        } else if (word == "emdash") {
            emitUnicode(0x2014);
        } else if (word == "endash") {
            emitUnicode(0x2013);
        } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
            emit(' ');
        } else if (word == "bullet") {
            emitUnicode(0x2022);
        } else if (word == "lquote") {
            emitUnicode(0x2018);
        } else if (word == "rquote") {
            emitUnicode(0x2019);
        } else if (word == "ldblquote") {
            emitUnicode(0x201C);
        } else if (word == "rdblquote") {
            emitUnicode(0x201D);
        } else if (word == "cf") {
            st.colour = hasParam ? param : 0;
        } else if (word == "plain") {
            st.colour = 0;
            st.font = -1;
            st.halfPoints = 24;
        } else if (word == "f") {
            st.font = param;
        } else if (word == "fs") {
            st.halfPoints = hasParam ? param : 24;
        } else if (word == "deff") {
            deff_ = param;
        } else if (word == "ansicpg") {
            ansi_ = param == 437 ? CodePage::Cp437 : CodePage::Windows1252;
        } else if (word == "pc") {
            ansi_ = CodePage::Cp437;
        } else if (word == "ansi") {
            ansi_ = CodePage::Windows1252;
        }
    }

    void unicode(long param) {
        const GroupState& st = state();
        skip_ = 0;
        if (st.dest == Dest::Text) {
            const auto unit = static_cast<char32_t>(param < 0 ? param + 0x10000 : param);
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                highSurrogate_ = unit;
            } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                if (highSurrogate_ != 0) {
                    emitUnicode(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00));
                }
                highSurrogate_ = 0;
            } else if (unit <= 0xFFFF) {
                highSurrogate_ = 0;
                emitUnicode(unit);
            }
        }
        skip_ = st.uc;
    }

    // A control symbol that stands for one character (0: none).
    void symbol(char32_t c) {
        if (state().dest != Dest::Text || skipFallback()) {
            return;
        }
        if (c == '\n') {
            emitLineBreak();
        } else if (c != 0) {
            emitUnicode(c);
        }
    }

    // A character of the file as it stands (or escaped with a backslash).
    void literal(std::uint8_t b) {
        GroupState& st = state();
        if (st.dest == Dest::Skip || skipFallback()) {
            return;
        }
        if (b >= 0x80) {
            escapedByte(b, false);
            return;
        }
        if (st.dest == Dest::FontTable) {
            fontNameByte(b);
        } else if (st.dest == Dest::ColourTable) {
            if (b == ';') {
                colours_.push_back(colourSeen_ ? std::optional<Rgb>(currentColour())
                                               : std::nullopt);
                resetColour();
            }
        } else if (b == '\t' || b >= 0x20) {
            emit(b);
        }
    }

    void escapedByte(std::uint8_t b, bool countsAsFallback = true) {
        GroupState& st = state();
        if (st.dest == Dest::Skip || (countsAsFallback && skipFallback())) {
            return;
        }
        if (st.dest == Dest::FontTable) {
            fontNameByte(b);
            return;
        }
        if (st.dest != Dest::Text) {
            return;
        }
        // Under an OEM, PC-437 or symbol font the byte is the listing's own character.
        const long charset = fontCharset(st.font);
        if (target_ == CodePage::Cp437 && (charset == 2 || charset == 254 || charset == 255)) {
            emit(b);
            return;
        }
        emitUnicode(toUnicode(ansi_, b));
    }

    void fontNameByte(std::uint8_t b) {
        if (currentFont_ == kNoFont) {
            return;
        }
        FontEntry& font = fonts_[currentFont_];
        if (font.nameDone) {
            return;
        }
        if (b == ';') {
            font.nameDone = true;
        } else if (b >= 0x20) {
            appendUtf8(font.name, toUnicode(ansi_, b));
        }
    }

    long fontCharset(long font) const {
        const auto it = fonts_.find(font < 0 ? deff_ : font);
        return it == fonts_.end() ? -1 : it->second.charset;
    }

    Rgb currentColour() const {
        auto component = [](long v) { return static_cast<Rgb>(std::clamp(v, 0L, 255L)); };
        return component(red_) << 16 | component(green_) << 8 | component(blue_);
    }

    void resetColour() {
        red_ = green_ = blue_ = 0;
        colourSeen_ = false;
    }

    void takeFont(const GroupState& st) {
        fontTaken_ = true;
        const auto it = fonts_.find(st.font < 0 ? deff_ : st.font);
        if (it != fonts_.end() && !trimBlanks(it->second.name).empty()) {
            doc_.font.name = trimBlanks(it->second.name);
        }
        if (st.halfPoints > 0) {
            doc_.font.points = static_cast<double>(std::min(st.halfPoints, 3276L)) / 2.0;
        }
    }

    void emitLineBreak() {
        emit('\r');
        emit('\n');
    }

    void emitUnicode(char32_t c) { emit(fromUnicode(target_, c)); }

    void emit(std::uint8_t b) {
        const GroupState& st = state();
        if (st.dest != Dest::Text) {
            return;
        }
        if (!fontTaken_) {
            takeFont(st);
        }
        std::optional<Rgb> colour;
        if (st.colour >= 0 && static_cast<std::size_t>(st.colour) < colours_.size()) {
            colour = colours_[static_cast<std::size_t>(st.colour)];
        }
        const std::size_t at = doc_.text.size();
        doc_.text.push_back(static_cast<char>(b));
        if (!colour) {
            return;
        }
        if (!doc_.ranges.empty() && doc_.ranges.back().end == at &&
            doc_.ranges.back().format.colour == colour) {
            doc_.ranges.back().end = at + 1;
        } else {
            doc_.ranges.push_back({at, at + 1, CharFormat{colour}});
        }
    }

    static constexpr long kNoFont = -2147483647L;

    std::string_view in_;
    std::size_t pos_ = 0;
    CodePage target_;
    CodePage ansi_ = CodePage::Windows1252;
    std::vector<GroupState> stack_;
    std::map<long, FontEntry> fonts_;
    long currentFont_ = kNoFont;
    long deff_ = 0;
    std::vector<std::optional<Rgb>> colours_;
    long red_ = 0, green_ = 0, blue_ = 0;
    bool colourSeen_ = false;
    long skip_ = 0;
    char32_t highSurrogate_ = 0;
    bool fontTaken_ = false;
    RichDocument doc_;
};

}  // namespace

bool looksLikeRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

std::optional<RichDocument> readRtf(std::string_view rtf, CodePage target) {
    if (!looksLikeRtf(rtf)) {
        return std::nullopt;
    }
    return RtfParser(rtf, target).parse();
}

}  // namespace qv
