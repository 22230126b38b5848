// quorvane-cli basic: BASIC program listings through the detokenizer.
// quorvane-cli tokentable: writes the built-in token table as a CSV file.

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "Command.h"
#include "host/Dialogs.h"
#include "settings/IniFile.h"
#include "viewer/Detokenizer.h"
#include "viewer/StartAddresses.h"
#include "viewer/TokenTable.h"
#include "viewer/ViewerOptions.h"

namespace qv::cli {
namespace {

// Code page 437 to Unicode, with the graphic glyphs of the control positions (the
// PETSCII conversion uses 0x03-0x07, 0x18 and 0x1B for card suits, bullet and arrows).
// Kept local until a shared code page table exists.
constexpr char32_t kCp437[256] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642,
    0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, 0x0020, 0x0021, 0x0022, 0x0023,
    0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053,
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B,
    0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302, 0x00C7, 0x00FC, 0x00E9, 0x00E2,
    0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566,
    0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0,
    0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A,
    0x207F, 0x00B2, 0x25A0, 0x00A0,
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The listing text (code page 437 bytes, lines ending in CR LF) as UTF-8 lines ending
// in LF. Bytes inside a line, control bytes included, show as their glyphs.
std::string listingToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += '\n';
            ++i;
            continue;
        }
        appendUtf8(out, kCp437[static_cast<unsigned char>(text[i])]);
    }
    return out;
}

// One PETSCII byte to its code page 437 display byte with "Convert Everything" on.
// Kept local until the shared PETSCII conversion exists.
CharMap petsciiDisplayMap(bool upperLower) {
    static constexpr std::uint8_t kUpperLower[64] = {
        0xC4, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C,
        0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59,
        0x5A, 0xC5, 0xB0, 0xB3, 0xB1, 0x5C, 0x20, 0xDD, 0xDC, 0xC4, 0x5F, 0xB3, 0xB1,
        0xB3, 0xDC, 0x2F, 0xB3, 0xC3, 0xDA, 0xC0, 0xBF, 0xC4, 0xDA, 0xC1, 0xC2, 0xB4,
        0xB3, 0xDD, 0xDE, 0xC4, 0xDF, 0xDC, 0xFB, 0xBF, 0xC0, 0xD9, 0xD9, 0xB0};
    static constexpr std::uint8_t kUpperGraphics[64] = {
        0xC4, 0x06, 0xB3, 0xC4, 0xC4, 0xC4, 0xC4, 0xB3, 0xB3, 0xBF, 0xC0, 0xD9, 0xC0,
        0x5C, 0x2F, 0xDA, 0xBF, 0x07, 0xC4, 0x03, 0xB3, 0xDA, 0x58, 0x6F, 0x05, 0xB3,
        0x04, 0xC5, 0xB0, 0xB3, 0xE3, 0x5C, 0x20, 0xDD, 0xDC, 0xC4, 0x5F, 0xB3, 0xB1,
        0xB3, 0xDC, 0x2F, 0xB3, 0xC3, 0xDA, 0xC0, 0xBF, 0xC4, 0xDA, 0xC1, 0xC2, 0xB4,
        0xB3, 0xDD, 0xDE, 0xC4, 0xDF, 0xDC, 0xD9, 0xBF, 0xC0, 0xD9, 0xD9, 0xB0};
    CharMap map{};
    for (int c = 0; c < 256; ++c) {
        int folded;
        if (c < 0x60) {
            folded = c & 0x3F;
        } else if (c < 0x80) {
            folded = c & 0x5F;
        } else {
            folded = (c | 0x40) & 0x7F;
        }
        int out;
        if (folded == 0) {
            out = 0x40;
        } else if (folded <= 0x1A) {
            out = (upperLower ? 0x60 : 0x40) + folded;
        } else if (folded < 0x20) {
            static constexpr int kTail[5] = {0x5B, 0x9C, 0x5D, 0x18, 0x1B};
            out = kTail[folded - 0x1B];
        } else if (folded < 0x40) {
            out = folded;
        } else {
            out = (upperLower ? kUpperLower : kUpperGraphics)[folded - 0x40];
        }
        map[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(out);
    }
    map[0xFF] = upperLower ? 0xB1 : 0xE3;
    return map;
}

// Questions on the terminal: asked when stdin is a terminal and no --answer was given,
// otherwise answered with the chosen button (Continue unless told), and reported.
class TerminalHost : public DialogHost {
  public:
    std::optional<int> fixedAnswer;  // 1 Continue, 2 Abort Row, 3 Abort File

    QuestionReply showQuestion(const QuestionRequest&) override { return {}; }
    int showError(const ErrorLayout& layout) override {
        std::fprintf(stderr, "%s %s\n%s\n", layout.caption.c_str(), layout.line1.c_str(),
                     layout.message.c_str());
        if (!fixedAnswer && isatty(STDIN_FILENO)) {
            while (true) {
                for (const ErrorButton& b : layout.buttons) {
                    std::fprintf(stderr, "  [%d] %s\n", b.result, b.text.c_str());
                }
                std::fprintf(stderr, "choice: ");
                std::string line;
                if (!std::getline(std::cin, line))
                    return 2;
                for (const ErrorButton& b : layout.buttons) {
                    if (line == std::to_string(b.result))
                        return b.result;
                }
            }
        }
        int answer = fixedAnswer.value_or(1);
        const ErrorButton* chosen = nullptr;
        for (const ErrorButton& b : layout.buttons) {
            if (b.result == answer)
                chosen = &b;
        }
        if (chosen == nullptr) {  // the button is not offered: take the last abort button
            chosen = &layout.buttons.back();
            answer = chosen->result;
        }
        std::fprintf(stderr, "  -> %s\n", chosen->text.c_str());
        return answer;
    }
    void showMessage(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    MessageAnswer askYesNoCancel(const std::string&, const std::string&) override {
        return MessageAnswer::Cancel;
    }
    std::optional<std::string> askSaveFile(const SaveFileRequest&) override { return std::nullopt; }
    std::optional<std::string> askText(const std::string&, const std::string&,
                                       const std::string&) override {
        return std::nullopt;
    }
};

bool equalNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

const char* const kBasicUsage =
    "usage: quorvane-cli basic [OPTIONS] FILE...\n"
    "Prints the listing of each BASIC program file (load address, then tokenized lines).\n"
    "  --mode NAME         use this BASIC mode instead of detecting it from the load address\n"
    "                      (see quorvane-cli tokentable --modes)\n"
    "  --ignore-start      with --mode: list the file whatever its load address\n"
    "  --lower             Upper/Lower character mode (keywords in lower case)\n"
    "  --ascii             convert plain characters with the PETSCII conversion\n"
    "  --no-ascii          print plain characters as the bytes they are (the default)\n"
    "  --no-specialchars   show control characters in strings as characters, not {names}\n"
    "  --table FILE.csv    use this token table instead of the built-in one\n"
    "  --settings FILE     take the viewer options, start addresses and custom table from\n"
    "                      this settings file (the options above override it)\n"
    "  --format text       output format (text: UTF-8 lines)\n"
    "  --encoding utf8|cp437  text as UTF-8 (default) or as the code page 437 bytes\n"
    "  --answer continue|abort-row|abort-file\n"
    "                      answer to the questions about damaged lines; without it they\n"
    "                      are asked on a terminal and answered Continue otherwise\n";

int runBasic(const std::vector<std::string>& args) {
    std::optional<std::string> modeName;
    std::optional<bool> ascii;
    bool lower = false;
    bool noSpecial = false;
    bool ignoreStart = false;
    std::string tablePath;
    std::string settingsPath;
    std::string encoding = "utf8";
    TerminalHost host;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quorvane-cli basic: %s needs a value\n", a.c_str());
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            std::fputs(kBasicUsage, stdout);
            return 0;
        } else if (a == "--mode") {
            if (!value(v))
                return 2;
            modeName = v;
        } else if (a == "--lower") {
            lower = true;
        } else if (a == "--ascii") {
            ascii = true;
        } else if (a == "--no-ascii") {
            ascii = false;
        } else if (a == "--no-specialchars") {
            noSpecial = true;
        } else if (a == "--ignore-start") {
            ignoreStart = true;
        } else if (a == "--table") {
            if (!value(tablePath))
                return 2;
        } else if (a == "--settings") {
            if (!value(settingsPath))
                return 2;
        } else if (a == "--format") {
            if (!value(v))
                return 2;
            if (v != "text") {
                std::fprintf(stderr, "quorvane-cli basic: unknown format '%s' (text)\n", v.c_str());
                return 2;
            }
        } else if (a == "--encoding") {
            if (!value(encoding))
                return 2;
            if (encoding != "utf8" && encoding != "cp437") {
                std::fprintf(stderr, "quorvane-cli basic: unknown encoding '%s'\n",
                             encoding.c_str());
                return 2;
            }
        } else if (a == "--answer") {
            if (!value(v))
                return 2;
            if (v == "continue") {
                host.fixedAnswer = 1;
            } else if (v == "abort-row") {
                host.fixedAnswer = 2;
            } else if (v == "abort-file") {
                host.fixedAnswer = 3;
            } else {
                std::fprintf(stderr, "quorvane-cli basic: unknown answer '%s'\n", v.c_str());
                return 2;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "quorvane-cli basic: unknown option '%s'\n%s", a.c_str(),
                         kBasicUsage);
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        std::fputs(kBasicUsage, stderr);
        return 2;
    }

    ViewerOptions options;
    options.convertCharsToAscii = false;
    TokenTable table(&host);
    TokenTable::LoadSettings load;
    IniFile ini;
    if (!settingsPath.empty()) {
        auto loaded = IniFile::load(settingsPath);
        if (!loaded) {
            std::fprintf(stderr, "quorvane-cli basic: cannot read %s\n", settingsPath.c_str());
            return 2;
        }
        ini = std::move(*loaded);
        options.load(ini);
        load.ini = &ini;  // the settings file itself is never written from here
    }
    load.rememberedMode = options.mode;
    load.translateSpecialchars = options.translateSpecialchars;
    int mode = table.loadFullTokenTable(load);
    if (!tablePath.empty()) {
        if (!table.loadTokenTableCsv(tablePath))
            return 2;
        mode = table.rebuildTokenIndex(options.mode, options.translateSpecialchars);
    }

    if (modeName) {
        const auto& modes = table.modeList();
        mode = -1;
        for (std::size_t m = 0; m < modes.size(); ++m) {
            if (equalNoCase(modes[m], *modeName))
                mode = static_cast<int>(m);
        }
        if (mode < 0) {
            std::fprintf(stderr,
                         "quorvane-cli basic: unknown mode '%s'; modes:", modeName->c_str());
            for (const std::string& m : modes)
                std::fprintf(stderr, " \"%s\"", m.c_str());
            std::fprintf(stderr, "\n");
            return 2;
        }
        options.autodetect = false;
    }
    if (ignoreStart)
        options.ignoreStartaddress = true;
    if (ascii)
        options.convertCharsToAscii = *ascii;
    if (noSpecial)
        options.translateSpecialchars = false;
    options.applyDependencies();

    Dialogs dialogs(host);
    int status = 0;
    for (std::size_t f = 0; f < files.size(); ++f) {
        Detokenizer detok(
            table, options.startAddresses,
            DetokenizeOptions::fromViewer(options, mode, lower, petsciiDisplayMap(lower)));
        detok.setDialogs(&dialogs);
        const DetokenizeResult r = detok.detokenizeFile(files[f], files[f]);
        if (files.size() > 1)
            std::printf("%s==> %s <==\n", f > 0 ? "\n" : "", files[f].c_str());
        if (r.result != 0) {
            status = 1;
            const std::string why = !r.error.empty() ? r.error : r.textSet ? r.text : "cannot list";
            std::fprintf(stderr, "quorvane-cli basic: %s: %s\n", files[f].c_str(), why.c_str());
            continue;
        }
        const std::string out = encoding == "utf8" ? listingToUtf8(r.text) : r.text;
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    std::fflush(stdout);
    return status;
}

const char* const kTableUsage =
    "usage: quorvane-cli tokentable [--table FILE.csv] [--save FILE.csv] [--modes]\n"
    "  --save FILE.csv   write the token table (the built-in one unless --table) as CSV\n"
    "  --table FILE.csv  read a token table file first\n"
    "  --modes           print the selectable BASIC modes with the tokensets they search\n";

int runTokenTable(const std::vector<std::string>& args) {
    std::string savePath;
    std::string tablePath;
    bool modes = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kTableUsage, stdout);
            return 0;
        } else if ((a == "--save" || a == "--table") && i + 1 < args.size()) {
            (a == "--save" ? savePath : tablePath) = args[++i];
        } else if (a == "--modes") {
            modes = true;
        } else {
            std::fprintf(stderr, "quorvane-cli tokentable: unexpected '%s'\n%s", a.c_str(),
                         kTableUsage);
            return 2;
        }
    }
    if (savePath.empty() && !modes) {
        std::fputs(kTableUsage, stderr);
        return 2;
    }
    TerminalHost host;
    TokenTable table(&host);
    table.loadFullTokenTable({});
    if (!tablePath.empty()) {
        if (!table.loadTokenTableCsv(tablePath))
            return 1;
        table.rebuildTokenIndex(0, true);
    }
    if (modes) {
        for (std::size_t m = 0; m < table.modeList().size(); ++m) {
            std::printf("%s:", table.modeList()[m].c_str());
            for (const int c : table.buildLinkTable(static_cast<int>(m), true)) {
                std::printf(" %d", c);
            }
            std::printf("\n");
        }
    }
    if (!savePath.empty() && !table.saveTokenTableCsv(savePath))
        return 1;
    return 0;
}

const RegisterCommand kBasic({"basic", "print the listing of BASIC program files", runBasic});
const RegisterCommand kTokenTable({"tokentable", "write or show the BASIC token table",
                                   runTokenTable});

}  // namespace
}  // namespace qv::cli
