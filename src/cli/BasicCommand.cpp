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
#include "listing/ListingSave.h"
#include "listing/PetsciiConversion.h"
#include "settings/IniFile.h"
#include "support/CodePage.h"
#include "support/RichText.h"
#include "support/RtfWriter.h"
#include "viewer/Detokenizer.h"
#include "viewer/StartAddresses.h"
#include "viewer/TokenTable.h"
#include "viewer/ViewerOptions.h"

namespace qv::cli {
namespace {

// The listing text (code page 437 bytes, lines ending in CR LF) as UTF-8 lines ending
// in LF. Bytes inside a line, control bytes included, show as their glyphs.
std::string listingToUtf8(const std::string& text) {
    return cp437ToUtf8(text);
}

// One PETSCII byte to its code page 437 display byte with "Convert Everything" on.
CharMap petsciiDisplayMap(bool upperLower) {
    CharMap map{};
    const CharMode mode = upperLower ? CharMode::UpperLower : CharMode::UpperGraphics;
    for (int c = 0; c < 256; ++c) {
        map[static_cast<std::size_t>(c)] = convertChar(static_cast<std::uint8_t>(c), mode, true);
    }
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
    "  --format FORMAT     text (the default) or rtf (the listing with its syntax colours)\n"
    "  -o FILE             write to FILE instead of standard output\n"
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
    std::string format = "text";
    std::string output;
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
            if (v != "text" && v != "rtf") {
                std::fprintf(stderr, "quorvane-cli basic: unknown format '%s' (text, rtf)\n",
                             v.c_str());
                return 2;
            }
            format = v;
        } else if (a == "-o") {
            if (!value(output))
                return 2;
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
    Dialogs tableDialogs(host);
    TokenTable table(&tableDialogs);
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
        load.stored = TokenTableSettings::load(ini);  // the settings file is never written
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
    std::string text;       // everything printed, in the output's encoding
    RichDocument document;  // the same with colours, for --format rtf
    const auto add = [&](const std::string& bytes) {
        document.text += bytes;
        text += encoding == "utf8" && format == "text" ? listingToUtf8(bytes) : bytes;
    };
    for (std::size_t f = 0; f < files.size(); ++f) {
        Detokenizer detok(
            table, options.startAddresses,
            DetokenizeOptions::fromViewer(options, mode, lower, petsciiDisplayMap(lower)));
        detok.setDialogs(&dialogs);
        const DetokenizeResult r = detok.detokenizeFile(files[f], files[f]);
        if (files.size() > 1)
            add((f > 0 ? "\r\n==> " : "==> ") + files[f] + " <==\r\n");
        if (r.result != 0) {
            status = 1;
            const std::string why = !r.error.empty() ? r.error : r.textSet ? r.text : "cannot list";
            std::fprintf(stderr, "quorvane-cli basic: %s: %s\n", files[f].c_str(), why.c_str());
            continue;
        }
        const std::size_t start = document.text.size();
        add(r.text);
        document.setColour(start, document.text.size(), r.defaultColour);
        for (const ColourRecord& c : r.colours) {
            const std::size_t colour = static_cast<std::size_t>(c.colour);
            if (colour < table.tokenColours.size()) {
                document.setColour(start + c.offset, start + c.offset + c.length,
                                   table.tokenColours[colour]);
            }
        }
    }
    const std::string out = format == "rtf" ? writeRtf(document) : text;
    if (output.empty()) {
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fflush(stdout);
    } else if (!writeFileAtomically(output, out, Durability::RenamedOnly)) {
        std::fprintf(stderr, "quorvane-cli basic: cannot write %s\n", output.c_str());
        return 1;
    }
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
    Dialogs dialogs(host);
    TokenTable table(&dialogs);
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
