#include <cstdio>
#include <string>
#include <vector>

#include "CliDialogHost.h"
#include "CliListing.h"
#include "CliSettings.h"
#include "Command.h"
#include "host/Dialogs.h"
#include "screen/C64Screen.h"
#include "screen/Charset.h"
#include "screen/ScreenSettings.h"
#include "settings/ListerOptions.h"
#include "support/Bmp.h"
#include "support/Png.h"

namespace qv::cli {
namespace {

const char* const kScreenHelp =
    "usage: quorvane-cli screen [OPTIONS] PATH... -o FILE\n"
    "       quorvane-cli screen --charset-chart FILE\n"
    "Draws the C64 screen of a listing, as the main window's C64 screen shows it, and\n"
    "saves it page by page (25 rows of 40 characters): FILE named pages.bmp gives\n"
    "pages_0001.bmp, pages_0002.bmp, ... (at most 9999). A name ending in .png saves PNG\n"
    "pictures instead of bitmaps. Folders are searched recursively, as with list.\n\n"
    "options:\n"
    "  -o FILE              the name the page numbers are added to\n"
    "  --upper-lower        list in the Upper/Lower character set\n"
    "  --charset-rom FILE   draw with a 4096-byte character ROM dump instead of the\n"
    "                       built-in glyphs (the setting C64 Screen/CharROM does the same)\n"
    "  --charset-chart FILE write all 512 glyphs as one picture (Upper/Graphics above,\n"
    "                       Upper/Lower below, 32 glyphs a line) and list nothing\n";

bool endsWithPng(const std::string& path) {
    if (path.size() < 4)
        return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".png";
}

// The chart in the screen's colours, as a bitmap or PNG by the name's extension.
bool writeChart(const std::string& path, const Charset& charset, const C64Palette& palette) {
    const Image1 chart = charsetChart(charset, palette[6], palette[14]);
    if (!endsWithPng(path))
        return saveBmp(path, chart);
    Image32 picture(chart.width, chart.height);
    for (int y = 0; y < chart.height; ++y) {
        for (int x = 0; x < chart.width; ++x)
            picture.at(x, y) = chart.palette[chart.get(x, y) ? 1 : 0];
    }
    return savePng(path, picture);
}

int runScreen(const std::vector<std::string>& args) {
    CliDialogHost host;
    CliSettings settings;
    std::vector<std::string> inputs;
    std::string output, chartFile, romFile;
    bool upperLower = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        if (a == "--help" || a == "-h") {
            std::printf("%s%s%s", kScreenHelp, kSettingsOptionsHelp, kAnswerOptionsHelp);
            return 0;
        } else if (parseAnswerOption(args, i, host, error) ||
                   settings.parseOption(args, i, error)) {
            if (!error.empty()) {
                std::fprintf(stderr, "quorvane-cli screen: %s\n", error.c_str());
                return 2;
            }
        } else if (a == "-o" || a == "--charset-chart" || a == "--charset-rom") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quorvane-cli screen: %s needs a value\n", a.c_str());
                return 2;
            }
            (a == "-o" ? output : a == "--charset-chart" ? chartFile : romFile) = args[++i];
        } else if (a == "--upper-lower") {
            upperLower = true;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "quorvane-cli screen: unknown option '%s'\n", a.c_str());
            return 2;
        } else {
            inputs.push_back(a);
        }
    }
    if (chartFile.empty() && (inputs.empty() || output.empty())) {
        std::fprintf(stderr, "%s", kScreenHelp);
        return 2;
    }
    std::string error;
    if (!settings.load(error)) {
        std::fprintf(stderr, "quorvane-cli screen: %s\n", error.c_str());
        return 2;
    }

    // The screen's own messages: the saved count on standard output, failures on
    // standard error.
    bool failed = false;
    C64Screen screen(
        [&failed](const std::string& m) {
            const bool failure = m.rfind("C64Screen:", 0) == 0;
            failed = failed || failure;
            std::fprintf(failure ? stderr : stdout, "%s\n", m.c_str());
        },
        loadC64Palette(settings.ini));
    std::string pathOption;
    ListerOptions options = listingOptions(settings, pathOption);
    // --charset-rom, else the "Character ROM:" option.
    if (!applyCharsetRom(screen, romFile.empty() ? options.charsetRom : romFile))
        return 1;

    if (!chartFile.empty()) {
        if (!writeChart(chartFile, screen.charset(), screen.palette())) {
            std::fprintf(stderr, "quorvane-cli screen: cannot write %s\n", chartFile.c_str());
            return 1;
        }
        if (inputs.empty())
            return 0;
        if (output.empty()) {
            std::fprintf(stderr, "quorvane-cli screen: the listing needs -o FILE\n");
            return 2;
        }
    }

    int status = 0;
    const std::vector<std::string> files = collectInputs("screen", inputs, status);
    Dialogs dialogs(host);
    CliListing run(options, dialogs);
    run.listing().setScreen(&screen);
    screen.beginUpdate();
    run.run("screen", files, inputs, pathOption, upperLower, status);
    screen.endUpdate(true);

    const C64Screen::SaveResult saved = screen.saveBitmaps(
        output, true, endsWithPng(output) ? PictureFormat::Png : PictureFormat::Bmp);
    if (!saved.ok || failed)
        return 1;
    return status;
}

const RegisterCommand kRegister{
    {"screen", "draw the C64 screen of a listing as pictures, page by page", &runScreen}};

}  // namespace
}  // namespace qv::cli
