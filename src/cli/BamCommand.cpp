#include <cstdio>
#include <string>
#include <vector>

#include "CliDialogHost.h"
#include "CliSettings.h"
#include "Command.h"
#include "bam/BamView.h"
#include "bam/BlockMap.h"
#include "bam/BlockMapLoad.h"
#include "bam/ErrorInfoRemoval.h"
#include "bam/Extraction.h"
#include "bam/FileChain.h"
#include "bam/FileLookup.h"
#include "host/Dialogs.h"
#include "settings/ListerOptions.h"
#include "support/CodePage.h"
#include "support/JsonWriter.h"

namespace qv::cli {
namespace {

const char* const kBamHelp =
    "usage: quorvane-cli bam [OPTIONS] IMAGE\n"
    "Shows the block map of a disk image: one column per track, one row per sector.\n"
    "A cell shows '*' for a block the BAM marks used and '.' for a free one, followed\n"
    "by the DOS error code that the image's error info records for the block.\n\n"
    "options:\n"
    "  --owners           list every block that files use, with the owning files and\n"
    "                     the block's place in their chains (crosslinks are marked)\n"
    "  --file NAME        show the chain of one file: NAME as listed without the\n"
    "                     quotes, or #N for the N-th file of the list\n"
    "  --format json      write the map as JSON\n"
    "  --abort-on-error   answer a damaged file with Abort Image instead of Continue\n";

const char* const kExtractHelp =
    "usage: quorvane-cli extract [OPTIONS] IMAGE NAME -o FILE\n"
    "Writes a file of the image as a program file: its start address and its data.\n"
    "NAME is the file's name as listed without the quotes, or #N for the N-th file.\n\n"
    "options:\n"
    "  -o FILE             the file to write (replaced when it exists)\n"
    "  --no-load-address   leave out the two bytes of the start address\n"
    "  --verbose           also report the problems of the image's other files\n";

const char* const kStripHelp =
    "usage: quorvane-cli strip-errors [--yes] IMAGE\n"
    "Removes the error-info bytes from a 175531- or 197376-byte image, leaving a\n"
    "174848- or 196608-byte image. Asks first on a terminal.\n\n"
    "options:\n"
    "  --yes              do not ask\n";

// Terminal answers for the block map's reports: without a terminal a damaged file is
// answered with Continue (or Abort Image), so the rest of the disk is still mapped.
class BamDialogHost : public CliDialogHost {
  public:
    bool abortOnError = false;
    bool confirmAll = false;

    int showError(const ErrorLayout& layout) override {
        if (interactive() || layout.buttons.size() == 1)
            return CliDialogHost::showError(layout);
        setInteractive(false);
        CliDialogHost::showError(layout);
        const int wanted = abortOnError ? 3 : 1;
        for (const ErrorButton& b : layout.buttons) {
            if (b.result == wanted) {
                std::fprintf(stderr, "  -> %s\n", b.text.c_str());
                return wanted;
            }
        }
        return 2;
    }
    bool askOkCancel(const std::string& caption, const std::string& text) override {
        if (confirmAll)
            return true;
        return CliDialogHost::askOkCancel(caption, text);
    }
};

// The owner walk behind extract: it reads every file of the image, but only what
// concerns the file asked for is reported (when its chain is followed); the other
// files' problems are answered with Continue without a word.
class QuietWalkHost : public BamDialogHost {
  public:
    QuietWalkHost() {
        setInteractive(false);
        setQuiet(true);
    }
    int showError(const ErrorLayout& layout) override {
        for (const ErrorButton& b : layout.buttons) {
            if (b.result == erroranswer::Continue)
                return erroranswer::Continue;
        }
        return erroranswer::Second;
    }
};

std::string utf8(const std::string& cp437) {
    return cp437ToUtf8(cp437);
}

std::string blockLabel(int track, int sector) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02i/%02i", track, sector);
    return buf;
}

void printGrid(const BlockMap& map) {
    std::printf("    ");
    for (int track = 1; track <= map.trackCount(); ++track)
        std::printf(" %3i", track);
    std::printf("\n");
    for (int sector = 0; sector < kMaxSectors; ++sector) {
        std::printf("%3i ", sector);
        for (int track = 1; track <= map.trackCount(); ++track) {
            if (sector >= sectorsOnTrack(track)) {
                std::printf("    ");
                continue;
            }
            const char cell = map.bamCell(track, sector);
            const int code = map.errorCode(track, sector);
            const char state = cell == '*' ? '*' : cell == ' ' ? '.' : ' ';
            if (code != 0)
                std::printf(" %c%2i", state, code);
            else
                std::printf(" %c  ", state);
        }
        std::printf("\n");
    }
}

void printText(const BlockMap& map, bool owners, int fileRow) {
    std::printf("Image: %s\n", map.imagePath().c_str());
    std::printf("Type: %s, %i tracks, %s\n", dosTypeName(map.dosType()), map.trackCount(),
                map.errorInfoKind() == 0 ? "no error info" : "with error info");
    std::printf("Header: %s\n", utf8(map.diskHeader()).c_str());
    std::printf("%i Blocks free\n\n", map.blocksFree());
    printGrid(map);
    for (const ErrorLegendLine& line : errorLegend(map))
        std::printf("  %i: %s\n", line.code, line.text.c_str());
    std::printf("\nFiles:\n");
    for (int row = 0; row < map.rowCount(); ++row) {
        std::printf("  #%-3i %s\n", row + 1,
                    utf8(map.fileLines()[static_cast<std::size_t>(row)]).c_str());
    }
    if (owners) {
        std::printf("\nBlocks used by files:\n");
        for (int track = 1; track <= map.trackCount(); ++track) {
            for (int sector = 0; sector < sectorsOnTrack(track); ++sector) {
                const std::vector<int> rows = map.ownersOf({track, sector});
                if (rows.empty())
                    continue;
                std::string line = "  " + blockLabel(track, sector);
                char buf[32];
                std::snprintf(buf, sizeof buf, "  $%05X  %s", map.blockOffset({track, sector}),
                              map.bamCell(track, sector) == '*' ? "used" : "FREE");
                line += buf;
                if (const int code = map.errorCode(track, sector))
                    line += "  error " + std::to_string(code);
                if (rows.size() > 1)
                    line += "  CROSSLINK";
                for (const int row : rows) {
                    line += "\n      #" + std::to_string(row + 1) + " " +
                            utf8(map.fileNames()[static_cast<std::size_t>(row)]) + ": " +
                            markText(map.markAt(row, {track, sector}));
                }
                std::printf("%s\n", line.c_str());
            }
        }
    }
    if (fileRow >= 0) {
        std::printf("\nChain of #%i %s:\n", fileRow + 1,
                    utf8(map.fileNames()[static_cast<std::size_t>(fileRow)]).c_str());
        for (const ChainStep& s : fileChain(map, fileRow)) {
            std::printf("  %s  $%05X  %s", blockLabel(s.ts.track, s.ts.sector).c_str(),
                        map.blockOffset(s.ts), markText(s.mark).c_str());
            const std::vector<int> rows = map.ownersOf(s.ts);
            if (rows.size() > 1)
                std::printf("  (also used by %zu other file(s))", rows.size() - 1);
            if (const int code = map.errorCode(s.ts.track, s.ts.sector))
                std::printf("  error %i", code);
            std::printf("\n");
        }
    }
}

void writeMark(JsonWriter& j, ChainMark m) {
    j.key("mark").value(static_cast<long long>(m));
    j.key("text").value(markText(m));
}

std::string jsonText(const BlockMap& map, bool owners, int fileRow) {
    JsonWriter j;
    j.beginObject();
    j.key("path").value(map.imagePath());
    j.key("dosType").value(map.dosType());
    j.key("tracks").value(map.trackCount());
    j.key("errorInfoKind").value(map.errorInfoKind());
    j.key("header").value(utf8(map.diskHeader()));
    j.key("blocksFree").value(map.blocksFree());
    j.key("files").beginArray();
    for (int row = 0; row < map.rowCount(); ++row) {
        j.beginObject();
        j.key("row").value(row + 1);
        j.key("name").value(utf8(map.fileNames()[static_cast<std::size_t>(row)]));
        j.key("line").value(utf8(map.fileLines()[static_cast<std::size_t>(row)]));
        j.endObject();
    }
    j.endArray();
    j.key("blocks").beginArray();
    for (int track = 1; track <= map.trackCount(); ++track) {
        for (int sector = 0; sector < sectorsOnTrack(track); ++sector) {
            j.beginObject();
            j.key("track").value(track);
            j.key("sector").value(sector);
            j.key("offset").value(map.blockOffset({track, sector}));
            j.key("used").value(map.bamCell(track, sector) == '*');
            j.key("error").value(map.errorCode(track, sector));
            if (owners) {
                j.key("owners").beginArray();
                for (const int row : map.ownersOf({track, sector})) {
                    j.beginObject();
                    j.key("row").value(row + 1);
                    writeMark(j, map.markAt(row, {track, sector}));
                    j.endObject();
                }
                j.endArray();
            }
            j.endObject();
        }
    }
    j.endArray();
    if (fileRow >= 0) {
        j.key("chain").beginObject();
        j.key("row").value(fileRow + 1);
        j.key("blocks").beginArray();
        for (const ChainStep& s : fileChain(map, fileRow)) {
            j.beginObject();
            j.key("track").value(s.ts.track);
            j.key("sector").value(s.ts.sector);
            writeMark(j, s.mark);
            j.endObject();
        }
        j.endArray();
        j.endObject();
    }
    j.endObject();
    return j.str() + "\n";
}

// Loads the map with its owners; false (reported) when the image is not usable.
// walkDialogs, when given, answers the owner walk instead of ctx's dialogs.
bool loadMap(BlockMap& map, const std::string& path, BlockMapContext& ctx, const char* command,
             Dialogs* walkDialogs = nullptr) {
    switch (loadBlockMap(map, path, ctx, true, walkDialogs).outcome) {
        case MapLoadOutcome::Loaded:
            return true;
        case MapLoadOutcome::NoSuchFile:
            std::fprintf(stderr, "quorvane-cli %s: %s: no such file\n", command, path.c_str());
            return false;
        case MapLoadOutcome::NoOwnerGrids:
            return false;
        case MapLoadOutcome::NotOpened:
            std::fprintf(stderr, "quorvane-cli %s: %s: cannot open\n", command, path.c_str());
            return false;
        case MapLoadOutcome::Unusable:
            std::fprintf(stderr, "quorvane-cli %s: %s: not a usable disk image\n", command,
                         path.c_str());
            return false;
    }
    return false;
}

// Lets a --forty-as answer stand for the block map, which never asks about it.
void applyFortyAs(Dialogs& dialogs, const CliDialogHost& host) {
    const QuestionReply preset = host.preset(QuestionMode::ExtendedBam);
    QuestionMemory& m = dialogs.memory(QuestionMode::ExtendedBam);
    m.lastResult = preset.result;
    m.choice = preset.choice;
}

// The program's state over the settings file and --set overrides; null when the
// settings cannot be read.
std::unique_ptr<Session> loadSession(const CliSettings& settings, const char* command,
                                     DialogHost& host) {
    std::string error;
    CliSettings loaded = settings;
    if (!loaded.load(error)) {
        std::fprintf(stderr, "quorvane-cli %s: %s\n", command, error.c_str());
        return nullptr;
    }
    std::vector<std::string> messages;
    std::unique_ptr<Session> session = loaded.session(host, messages);
    for (const std::string& m : messages)
        std::fprintf(stderr, "%s\n", m.c_str());
    return session;
}

int usageError(const char* command, const std::string& text, const char* help) {
    std::fprintf(stderr, "quorvane-cli %s: %s\n%s", command, text.c_str(), help);
    return 2;
}

int runBam(const std::vector<std::string>& args) {
    BamDialogHost host;
    CliSettings settings;
    std::string image, fileName;
    bool owners = false, json = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        if (a == "--help" || a == "-h") {
            std::printf("%s%s%s", kBamHelp, kSettingsOptionsHelp, kAnswerOptionsHelp);
            return 0;
        } else if (parseAnswerOption(args, i, host, error) ||
                   settings.parseOption(args, i, error)) {
            if (!error.empty())
                return usageError("bam", error, "");
        } else if (a == "--owners") {
            owners = true;
        } else if (a == "--abort-on-error") {
            host.abortOnError = true;
        } else if (a == "--file") {
            if (i + 1 >= args.size())
                return usageError("bam", "--file needs a name", kBamHelp);
            fileName = args[++i];
        } else if (a == "--format") {
            if (i + 1 >= args.size() || args[i + 1] != "json")
                return usageError("bam", "--format takes json", kBamHelp);
            json = true;
            ++i;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("bam", "unknown option '" + a + "'", kBamHelp);
        } else if (image.empty()) {
            image = a;
        } else {
            return usageError("bam", "one image at a time", kBamHelp);
        }
    }
    if (image.empty())
        return usageError("bam", "no image given", kBamHelp);

    const std::unique_ptr<Session> session = loadSession(settings, "bam", host);
    if (!session)
        return 2;
    Dialogs& dialogs = session->dialogs();
    applyFortyAs(dialogs, host);
    BlockMapContext ctx{session->listerOptions(), dialogs};
    BlockMap& map = session->blockMap();
    if (!loadMap(map, image, ctx, "bam"))
        return 1;
    int fileRow = -1;
    if (!fileName.empty()) {
        fileRow = findRow(map, fileName);
        if (fileRow < 0) {
            std::fprintf(stderr, "quorvane-cli bam: %s: no file %s\n", image.c_str(),
                         fileName.c_str());
            return 1;
        }
    }
    if (json) {
        const std::string text = jsonText(map, owners, fileRow);
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else {
        printText(map, owners, fileRow);
    }
    return 0;
}

int runExtract(const std::vector<std::string>& args) {
    BamDialogHost host;
    CliSettings settings;
    std::vector<std::string> positional;
    std::string output;
    bool noLoadAddress = false, verbose = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        if (a == "--help" || a == "-h") {
            std::printf("%s%s%s", kExtractHelp, kSettingsOptionsHelp, kAnswerOptionsHelp);
            return 0;
        } else if (parseAnswerOption(args, i, host, error) ||
                   settings.parseOption(args, i, error)) {
            if (!error.empty())
                return usageError("extract", error, "");
        } else if (a == "-o") {
            if (i + 1 >= args.size())
                return usageError("extract", "-o needs a file name", kExtractHelp);
            output = args[++i];
        } else if (a == "--no-load-address") {
            noLoadAddress = true;
        } else if (a == "--verbose") {
            verbose = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("extract", "unknown option '" + a + "'", kExtractHelp);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2 || output.empty())
        return usageError("extract", "needs IMAGE, NAME and -o FILE", kExtractHelp);

    const std::unique_ptr<Session> session = loadSession(settings, "extract", host);
    if (!session)
        return 2;
    Dialogs& dialogs = session->dialogs();
    applyFortyAs(dialogs, host);
    BlockMapContext ctx{session->listerOptions(), dialogs};
    BlockMap& map = session->blockMap();
    QuietWalkHost walkHost;
    Dialogs walkDialogs(walkHost);
    if (!loadMap(map, positional[0], ctx, "extract", verbose ? nullptr : &walkDialogs))
        return 1;
    const int row = findRow(map, positional[1]);
    if (row < 0) {
        std::fprintf(stderr, "quorvane-cli extract: %s: no file %s\n", positional[0].c_str(),
                     positional[1].c_str());
        return 1;
    }
    const ExtractMode mode =
        noLoadAddress ? ExtractMode::ProgramWithoutStart : ExtractMode::Program;
    const ExtractToFileResult r = extractToFile(map, row, mode, output, dialogs);
    if (r.extraction.status == ExtractStatus::Refused)
        return 1;
    if (!r.written) {
        std::fprintf(stderr, "quorvane-cli extract: %s: %s\n", output.c_str(),
                     r.write.error.c_str());
        return 1;
    }
    if (r.extraction.status == ExtractStatus::Cut) {
        std::fprintf(stderr,
                     "quorvane-cli extract: %s: written only up to the damage (%zu bytes)\n",
                     output.c_str(), r.extraction.data.size());
        return 1;
    }
    std::fprintf(stderr, "%s: %zu bytes, start address $%04X\n", output.c_str(),
                 r.extraction.data.size(), static_cast<unsigned>(r.extraction.startAddress));
    return 0;
}

int runStripErrors(const std::vector<std::string>& args) {
    BamDialogHost host;
    CliSettings settings;
    std::string image;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        if (a == "--help" || a == "-h") {
            std::printf("%s%s%s", kStripHelp, kSettingsOptionsHelp, kAnswerOptionsHelp);
            return 0;
        } else if (a == "--yes" || a == "-y") {
            host.confirmAll = true;
        } else if (parseAnswerOption(args, i, host, error) ||
                   settings.parseOption(args, i, error)) {
            if (!error.empty())
                return usageError("strip-errors", error, "");
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("strip-errors", "unknown option '" + a + "'", kStripHelp);
        } else if (image.empty()) {
            image = a;
        } else {
            return usageError("strip-errors", "one image at a time", kStripHelp);
        }
    }
    if (image.empty())
        return usageError("strip-errors", "no image given", kStripHelp);

    const std::unique_ptr<Session> session = loadSession(settings, "strip-errors", host);
    if (!session)
        return 2;
    Dialogs& dialogs = session->dialogs();
    applyFortyAs(dialogs, host);
    BlockMapContext ctx{session->listerOptions(), dialogs};
    BlockMap& map = session->blockMap();
    const MapLoadOutcome loaded = loadBlockMap(map, image, ctx, false).outcome;
    if (loaded == MapLoadOutcome::NoSuchFile) {
        std::fprintf(stderr, "quorvane-cli strip-errors: %s: no such file\n", image.c_str());
        return 1;
    }
    if (loaded != MapLoadOutcome::Loaded) {
        std::fprintf(stderr, "quorvane-cli strip-errors: %s: not a usable disk image\n",
                     image.c_str());
        return 1;
    }
    if (!map.hasErrorInfo()) {
        std::fprintf(stderr, "%s: the image has no error info\n", image.c_str());
        return 0;
    }
    if (!host.confirmAll && !host.interactive()) {
        std::fprintf(stderr,
                     "quorvane-cli strip-errors: %s: refusing to change the image without a "
                     "terminal to ask on; add --yes to remove the error info\n",
                     image.c_str());
        return 1;
    }
    const RemovalResult r = removeErrorInfo(map, ctx);
    switch (r.outcome) {
        case RemovalOutcome::Removed:
            std::fprintf(stderr, "%s: error info removed\n", image.c_str());
            return 0;
        case RemovalOutcome::Cancelled:
            std::fprintf(stderr, "%s: left unchanged\n", image.c_str());
            return 1;
        case RemovalOutcome::NoErrorInfo:
            return 0;
        case RemovalOutcome::WriteProtected:
        case RemovalOutcome::Failed:
            if (!r.write.error.empty())
                std::fprintf(stderr, "quorvane-cli strip-errors: %s\n", r.write.error.c_str());
            return 1;
    }
    return 1;
}

const RegisterCommand kRegisterBam{{"bam", "show the block map of a disk image", &runBam}};
const RegisterCommand kRegisterExtract{
    {"extract", "write a file of a disk image as a program file", &runExtract}};
const RegisterCommand kRegisterStrip{
    {"strip-errors", "remove the error-info bytes from a disk image", &runStripErrors}};

}  // namespace
}  // namespace qv::cli
