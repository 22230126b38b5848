#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "CliDialogHost.h"
#include "CliRunHost.h"
#include "CliSettings.h"
#include "Command.h"
#include "geos/CatalogueExport.h"
#include "geos/GeosCatalogue.h"
#include "host/Dialogs.h"
#include "listing/FileList.h"
#include "listing/ListingRun.h"
#include "settings/IniFile.h"
#include "settings/ListerOptions.h"

namespace qv::cli {
namespace {

const char* const kGeosHelp =
    "usage: quorvane-cli geos [OPTIONS] PATH...\n"
    "Lists the GEOS files of disk images as the GEOS file details catalogue collects\n"
    "them during a listing run. Folders are searched recursively.\n\n"
    "options:\n"
    "  --format FORMAT    txt (tab-separated, the default), html, csv or rtf\n"
    "                     (csv starts with a UTF-8 byte-order mark, for spreadsheets)\n"
    "  --columns LIST     the columns to write, separated by commas, by name or number:\n"
    "                     0 filename, 1 filetype, 2 class, 3 author, 4 application,\n"
    "                     5 description, 6 date, 7 image, 8 offset; or 'all'.\n"
    "                     Default: filename,filetype,class,author,description,date,image\n"
    "  --sort COLUMN      sort the rows by a column (name or number), ascending\n"
    "  --descending       sort in descending order\n"
    "  --own-sort         sort with the catalogue's own quicksort instead of the list's\n"
    "  --icons FILE.bmp   write all icons of the catalogue as one bitmap\n"
    "  --no-icon-messages do not report icons of a wrong size\n"
    "  -o FILE            write to FILE instead of standard output\n";

const char* const kColumnNames[kCatalogueColumnCount] = {"filename", "filetype",    "class",
                                                         "author",   "application", "description",
                                                         "date",     "image",       "offset"};

int columnByName(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '8')
        return name[0] - '0';
    for (int i = 0; i < kCatalogueColumnCount; ++i) {
        if (name == kColumnNames[i])
            return i;
    }
    return -1;
}

bool parseColumns(const std::string& list, ColumnFilter& filter) {
    if (list == "all") {
        filter.fill(true);
        return true;
    }
    filter.fill(false);
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const int c = columnByName(list.substr(start, comma - start));
        if (c < 0)
            return false;
        filter[static_cast<std::size_t>(c)] = true;
        start = comma + 1;
    }
    return true;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "quorvane-cli geos: %s\n", message.c_str());
    return 2;
}

int runGeos(const std::vector<std::string>& args) {
    CliDialogHost host;
    std::vector<std::string> inputs;
    CliSettings settings;
    std::string output, iconsPath, columns, sortName;
    ListFormat format = ListFormat::Text;
    bool descending = false, ownSort = false, iconMessages = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        const auto next = [&](const char* what) -> const std::string* {
            if (i + 1 >= args.size()) {
                fail(a + " needs " + what);
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "--help" || a == "-h") {
            std::printf("%s%s%s", kGeosHelp, kSettingsOptionsHelp, kAnswerOptionsHelp);
            return 0;
        } else if (parseAnswerOption(args, i, host, error)) {
            if (!error.empty())
                return fail(error);
        } else if (a == "--format") {
            const std::string* v = next("a format");
            if (!v)
                return 2;
            if (*v == "txt" || *v == "text")
                format = ListFormat::Text;
            else if (*v == "html")
                format = ListFormat::Html;
            else if (*v == "csv")
                format = ListFormat::Csv;
            else if (*v == "rtf")
                format = ListFormat::Rtf;
            else
                return fail("--format takes txt, html, csv or rtf");
        } else if (a == "--columns") {
            const std::string* v = next("a list of columns");
            if (!v)
                return 2;
            columns = *v;
        } else if (a == "--sort") {
            const std::string* v = next("a column");
            if (!v)
                return 2;
            sortName = *v;
        } else if (a == "--descending") {
            descending = true;
        } else if (a == "--own-sort") {
            ownSort = true;
        } else if (a == "--icons") {
            const std::string* v = next("a file name");
            if (!v)
                return 2;
            iconsPath = *v;
        } else if (settings.parseOption(args, i, error)) {
            if (!error.empty())
                return fail(error);
        } else if (a == "--no-icon-messages") {
            iconMessages = false;
        } else if (a == "-o") {
            const std::string* v = next("a file name");
            if (!v)
                return 2;
            output = *v;
        } else if (a.size() > 1 && a[0] == '-') {
            return fail("unknown option '" + a + "'");
        } else {
            inputs.push_back(a);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "%s", kGeosHelp);
        return 2;
    }

    std::string error;
    if (!settings.load(error))
        return fail(error);
    std::vector<std::string> messages;
    const std::unique_ptr<Session> session = settings.session(host, messages);
    for (const std::string& m : messages)
        std::fprintf(stderr, "quorvane-cli geos: %s\n", m.c_str());
    // The catalogue is what this command is for.
    session->options().change([](ListerOptions& o) { o.generateGeosFileDetails = true; });
    const ListerOptions& options = session->listerOptions();
    Dialogs& dialogs = session->dialogs();
    GeosCatalogue& catalogue = session->catalogue();
    catalogue.loadSettings(settings.ini);
    if (!iconMessages)
        catalogue.showIconMessage = false;
    if (ownSort)
        catalogue.settings.ownSort = true;
    ColumnFilter filter = catalogue.settings.columns;
    if (!columns.empty() && !parseColumns(columns, filter))
        return fail("unknown column in '" + columns + "'");
    int sortColumn = -1;
    if (!sortName.empty() && (sortColumn = columnByName(sortName)) < 0)
        return fail("unknown column '" + sortName + "'");

    int status = 0;
    std::vector<std::string> missing;
    CliRunHost runHost;
    Listing listing(options, dialogs);
    listing.setHost(&runHost);
    listing.setGeosSink(&catalogue);
    listing.fileList = collectFiles(inputs, &missing);
    for (const std::string& m : missing) {
        std::fprintf(stderr, "quorvane-cli geos: %s: no such file or folder\n", m.c_str());
        status = 1;
    }
    listing.listFiles(RunKind::Load);
    if (catalogue.addingStopped())
        status = 1;  // the catalogue refused a row and stopped taking more

    if (sortColumn >= 0 && !catalogue.sort(sortColumn, !descending))
        status = 1;

    if (!iconsPath.empty() &&
        !writeCatalogueList(catalogue, ListFormat::IconBitmap, iconsPath, filter, dialogs)) {
        status = 1;
    }
    if (output.empty()) {
        const std::string text = catalogueFile(catalogue.rows(), filter, format);
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else if (!writeCatalogueList(catalogue, format, output, filter, dialogs)) {
        status = 1;
    }
    std::fprintf(stderr, "%s\n", catalogue.listedStatus().c_str());
    return status;
}

const RegisterCommand kRegister{
    {"geos", "list the GEOS files of disk images (the GEOS file details catalogue)", &runGeos}};

}  // namespace
}  // namespace qv::cli
