#include "viewer/Detokenizer.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

#include "host/Dialogs.h"
#include "screen/ScreenSink.h"
#include "viewer/StartAddresses.h"
#include "viewer/ViewerOptions.h"

namespace qv {
namespace {

constexpr int kEnd = -1;            // end of file
constexpr int kMaxLineBytes = 256;  // a line ends after its 255th content byte
constexpr std::size_t kColourStep = 1000;
const char* const kModule = "Detokenize";
constexpr int kFlagsRowTooLong =
    errorflag::NoThirdButton | errorflag::HideLine2;  // "Continue", "Abort File"; one text line
constexpr int kFlagsNoZero =
    errorflag::RowWording | errorflag::HideLine2;  // "Continue", "Abort Row", "Abort File"

std::string lowered(std::string s) {
    for (char& ch : s) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return s;
}

std::string uppered(std::string s) {
    for (char& ch : s) {
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    }
    return s;
}

int colourIndex(const std::string& cell) {
    const auto v = parseTableNumber(cell);
    return v && *v >= 0 && *v < TokenTable::kColourCount ? *v : -1;
}

// Sequential reader over the file's bytes.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}
    int byte() { return pos_ < data_.size() ? data_[pos_++] : kEnd; }
    // Steps back over a byte that was read; a read that met the end has nothing to undo.
    void putBack(int b) {
        if (b != kEnd && pos_ > 0)
            --pos_;
    }
    int word() {
        if (pos_ + 2 > data_.size()) {
            pos_ = data_.size();
            return kEnd;
        }
        const int w = data_[pos_] | (data_[pos_ + 1] << 8);
        pos_ += 2;
        return w;
    }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

}  // namespace

CharMap identityCharMap() {
    CharMap m{};
    for (std::size_t i = 0; i < m.size(); ++i)
        m[i] = static_cast<std::uint8_t>(i);
    return m;
}

DetokenizeOptions DetokenizeOptions::fromViewer(const ViewerOptions& viewer, int modeIndex,
                                                bool upperLower, const CharMap& asciiMap) {
    DetokenizeOptions o;
    o.autodetect = viewer.autodetect;
    o.ignoreStartaddress = viewer.ignoreStartaddress;
    o.syntaxHighlighting = viewer.syntaxHighlighting;
    o.translateSpecialchars = viewer.translateSpecialchars;
    o.convertCharsToAscii = viewer.convertCharsToAscii;
    o.modeIndex = modeIndex;
    o.upperLower = upperLower;
    o.asciiMap = asciiMap;
    return o;
}

Detokenizer::Detokenizer(const TokenTable& table, const StartAddresses& addresses,
                         DetokenizeOptions options)
    : table_(table), addresses_(addresses), options_(std::move(options)) {}

bool Detokenizer::aborted() const {
    return abortFile_ || (abortFlag_ != nullptr && *abortFlag_);
}

// The lookups of one tokenset made once per run: every byte value is searched with the
// table's own findToken, so the run behaves exactly as the cell-based table does.
Detokenizer::CompiledSet Detokenizer::compile(int column) const {
    CompiledSet s;
    s.column = column;
    const std::string& prefix = table_.cell(column, tokenrow::Prefix);
    if (prefix == "-") {
        s.prefixKind = CompiledSet::PrefixKind::None;
    } else if (const auto p = parseTableNumber(prefix)) {
        s.prefixKind = CompiledSet::PrefixKind::Byte;
        s.prefix = *p;
    } else {
        s.prefixKind = CompiledSet::PrefixKind::Skip;  // neither "-" nor a number
    }
    s.commentToken = parseTableNumber(table_.cell(column, tokenrow::CommentToken));
    s.detokCommentZero = table_.cell(column, tokenrow::DetokComment) == "0";
    s.colour = colourIndex(table_.cell(column, tokenrow::Color));
    const int stop = table_.tokenStop(column);
    const std::size_t rows = stop >= 0 ? static_cast<std::size_t>(stop) + 1 : 0;
    s.outText.resize(rows);
    s.screenText.resize(rows);
    s.rowOf.fill(-1);
    // findToken only ever answers with a row that holds the code, so only the byte
    // values that occur in the column need a search.
    std::array<bool, 256> tried{};
    for (int r = tokenrow::FirstToken; r <= stop; ++r) {
        const auto value = parseTableNumber(table_.cell(column, r));
        if (!value || *value < 0 || *value > 255 || tried[static_cast<std::size_t>(*value)]) {
            continue;
        }
        tried[static_cast<std::size_t>(*value)] = true;
        const auto row = table_.findToken(column, *value);
        if (!row)
            continue;
        const auto idx = static_cast<std::size_t>(*row);
        s.rowOf[static_cast<std::size_t>(*value)] = *row;
        const std::string& text = table_.cell(column + 1, *row);
        s.outText[idx] = options_.upperLower ? lowered(text) : uppered(text);
        s.screenText[idx] = uppered(text);
    }
    return s;
}

const Detokenizer::CompiledSet& Detokenizer::compiled(int column) {
    const auto index = static_cast<std::size_t>(column);
    if (compiled_.size() <= index)
        compiled_.resize(index + 1);
    if (!compiled_[index])
        compiled_[index] = std::make_unique<CompiledSet>(compile(column));
    return *compiled_[index];
}

void Detokenizer::addColour(std::size_t offset, std::size_t length, int colour) {
    if (length == 0)
        return;
    try {
        if (colours_->size() == colours_->capacity()) {
            colours_->reserve(colours_->capacity() + kColourStep);
        }
        colours_->push_back({offset, length, colour});
    } catch (const std::bad_alloc&) {
        colourMemoryFailed_ = true;
        throw;
    }
}

DetokenizeResult Detokenizer::detokenizeFile(const std::string& path,
                                             const std::string& displayName) {
    if (compiledRevision_ != table_.revision()) {
        compiled_.clear();
        compiledRevision_ = table_.revision();
    }
    DetokenizeResult r;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || !std::filesystem::is_regular_file(path, ec)) {
        r.error = "cannot open file";
        return r;
    }
    if (size > kMaxFileSize) {
        r.error = "file too large for a BASIC program";
        return r;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream in(path, std::ios::binary);
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()),
                        static_cast<std::streamsize>(bytes.size()))) {
        r.error = "cannot read file";
        return r;
    }
    return detokenize(bytes, displayName);
}

DetokenizeResult Detokenizer::detokenize(std::span<const std::uint8_t> file,
                                         const std::string& displayName) {
    if (compiledRevision_ != table_.revision()) {
        compiled_.clear();
        compiledRevision_ = table_.revision();
    }
    DetokenizeResult r;
    const auto message = [this](const std::string& text) {
        if (dialogs_ != nullptr)
            dialogs_->message(text);
    };
    const long long fileSize = static_cast<long long>(file.size());
    Reader in(file);
    const int loadAddress = in.word();

    // Mode selection.
    LinkTable links;
    try {
        if (options_.autodetect) {
            const auto type = addresses_.detect(loadAddress);
            if (!type) {
                r.textSet = true;
                r.text = "Wrong format...unknown or unsupported BASIC startaddress";
                r.statusName = "";
                return r;
            }
            links = table_.buildLinkTable(*type, false);
        } else {
            links = table_.buildLinkTable(options_.modeIndex, true);
            if (!links.empty()) {
                const auto type = parseTableNumber(table_.cell(links.front(), tokenrow::Type));
                if (!type) {
                    message("Detokenize: Error while creating LinkTables...aborted");
                    return r;
                }
                if (!addresses_.valid(loadAddress, *type) && !options_.ignoreStartaddress &&
                    *type != 0) {
                    const auto& modes = table_.modeList();
                    const std::string modeName =
                        options_.modeIndex >= 0 &&
                                options_.modeIndex < static_cast<int>(modes.size())
                            ? modes[static_cast<std::size_t>(options_.modeIndex)]
                            : std::string();
                    r.textSet = true;
                    r.text = "Wrong format...invalid BASIC startaddress for mode: " + modeName;
                    r.statusName = "";
                    return r;
                }
            }
        }
    } catch (const std::exception&) {
        message("Detokenize: Error while creating LinkTables...aborted");
        return r;
    }
    if (links.empty())
        return r;

    // Preparation.
    std::vector<const CompiledSet*> sets;
    const CompiledSet* special = nullptr;
    try {
        for (const int c : links)
            sets.push_back(&compiled(c));
        if (table_.specialCharsSet() >= 0)
            special = &compiled(table_.specialCharsSet());
        if (options_.syntaxHighlighting)
            r.colours.reserve(kColourStep);
    } catch (const std::bad_alloc&) {
        message("Detokenize: Failed to allocate memory...aborted");
        return r;
    }
    r.statusName = table_.cell(links.front(), tokenrow::Name);
    abortFile_ = false;
    colourMemoryFailed_ = false;
    colours_ = &r.colours;

    const bool syntax = options_.syntaxHighlighting;
    const int specialColour = special ? special->colour : -1;
    const auto plain = [this](int t) {
        return static_cast<char>(options_.convertCharsToAscii
                                     ? options_.asciiMap[static_cast<std::size_t>(t)]
                                     : static_cast<std::uint8_t>(t));
    };

    std::string& text = r.text;
    text.reserve(file.size() * 3 + 64);
    std::string screen;
    std::size_t lineStart = 0;
    try {
        int lineAddress = loadAddress;
        int link = in.word();
        int lineNumber = in.word();
        long long rowLength = static_cast<long long>(link) - lineAddress - 4;
        lineAddress = link;
        while (link != 0 && link != kEnd && lineNumber != kEnd && !aborted()) {
            if (rowLength > fileSize && dialogs_ != nullptr &&
                dialogs_->showError(kModule, displayName, "",
                                    "Rowlength greater than filesize\nContinue?",
                                    kFlagsRowTooLong) != 1) {
                break;
            }
            lineStart = text.size();
            text += std::to_string(lineNumber);
            text += ' ';
            screen.assign(text, lineStart, std::string::npos);
            bool quote = false;
            int comment = 0;
            int count = 1;
            int t = in.byte();
            while (t != 0 && t != kEnd && count < kMaxLineBytes) {
                if (t == 0x22)
                    quote = !quote;
                if (quote || comment == 2) {
                    // Text: strings and the rest of a comment that is not detokenized.
                    screen += static_cast<char>(t);
                    const std::int32_t row =
                        special ? special->rowOf[static_cast<std::size_t>(t)] : -1;
                    const std::size_t start = text.size();
                    if (row >= 0 && options_.translateSpecialchars) {
                        int run = 1;
                        while (count < kMaxLineBytes) {
                            const int next = in.byte();
                            if (next != t) {
                                in.putBack(next);
                                break;
                            }
                            screen += static_cast<char>(t);
                            ++count;
                            ++run;
                        }
                        const std::string& name = special->outText[static_cast<std::size_t>(row)];
                        if (run == 1) {
                            if (t == 0x20) {
                                text += ' ';
                            } else {
                                text += name;
                            }
                        } else {
                            const std::size_t cut = name.empty() ? 0 : name.size() - 1;
                            text.append(name, 0, cut);
                            text += '*';
                            text += std::to_string(run);
                            text.append(name, cut, std::string::npos);
                        }
                    } else {
                        text += plain(t);
                    }
                    if (row >= 0 && syntax && specialColour >= 0) {
                        addColour(start, text.size() - start, specialColour);
                    }
                } else {
                    // Keywords: the tokensets of the chain in order, prefixed ones
                    // looking at the byte after the prefix.
                    const int next = in.byte();
                    const CompiledSet* hit = nullptr;
                    std::int32_t row = -1;
                    bool prefixed = false;
                    for (const CompiledSet* sp : sets) {
                        const CompiledSet& s = *sp;
                        if (s.prefixKind == CompiledSet::PrefixKind::None) {
                            row = s.rowOf[static_cast<std::size_t>(t)];
                            prefixed = false;
                        } else if (s.prefixKind == CompiledSet::PrefixKind::Byte && s.prefix == t &&
                                   next != kEnd) {
                            row = s.rowOf[static_cast<std::size_t>(next)];
                            prefixed = true;
                        } else {
                            continue;
                        }
                        if (row >= 0) {
                            hit = &s;
                            break;
                        }
                    }
                    if (hit != nullptr) {
                        const int code = prefixed ? next : t;
                        if (prefixed) {
                            ++count;
                        } else {
                            in.putBack(next);
                        }
                        comment = hit->commentToken && *hit->commentToken == code
                                      ? (hit->detokCommentZero ? 2 : 1)
                                      : 0;
                        const auto idx = static_cast<std::size_t>(row);
                        if (syntax) {
                            const int colour =
                                comment != 0 ? TokenTable::kCommentColour : hit->colour;
                            if (colour >= 0)
                                addColour(text.size(), hit->outText[idx].size(), colour);
                        }
                        screen += hit->screenText[idx];
                        text += hit->outText[idx];
                    } else {
                        in.putBack(next);
                        screen += static_cast<char>(t);
                        text += plain(t);
                    }
                }
                t = in.byte();
                ++count;
                if (count == rowLength && t != 0 && t != kEnd && dialogs_ != nullptr) {
                    const std::string question =
                        "The for this row (" + std::to_string(lineNumber) + ") specified length (" +
                        std::to_string(rowLength - 1) +
                        " chars) is reached but there are still valid chars behind.\n"
                        "Try to read them?";
                    const int answer =
                        dialogs_->showError(kModule, displayName, "", question, kFlagsNoZero);
                    if (answer == 1)
                        continue;
                    if (answer == 3)
                        abortFile_ = true;
                    break;
                }
            }
            if (screen_ != nullptr)
                screen_->addLine(screen, false);
            text += "\r\n";
            lineStart = text.size();
            ++r.lines;
            link = in.word();
            lineNumber = in.word();
            rowLength = static_cast<long long>(link) - lineAddress - 4;
            lineAddress = link;
            if (pendingInput_)
                pendingInput_();
        }
    } catch (const std::bad_alloc&) {
        colours_ = nullptr;
        if (colourMemoryFailed_) {
            message("Detokenize: Failed to allocate memory...aborted");
            DetokenizeResult failed;
            failed.statusName = r.statusName;
            return failed;
        }
        message("Detokenize: Error while detokenizing...aborted");
        text.resize(lineStart);
    } catch (const std::exception&) {
        message("Detokenize: Error while detokenizing...aborted");
        text.resize(lineStart);
    }
    colours_ = nullptr;
    // Colour records of a line that was dropped by a failure fall outside the text.
    while (!r.colours.empty() && r.colours.back().offset >= text.size())
        r.colours.pop_back();
    if (abortFlag_ != nullptr)
        *abortFlag_ = false;
    abortFile_ = false;

    r.result = 0;
    r.textSet = true;
    r.defaultColour = syntax ? table_.tokenColours[0] : 0;
    return r;
}

}  // namespace qv
