#include "geos/CatalogueExport.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "host/Dialogs.h"
#include "support/Bmp.h"
#include "support/CodePage.h"
#include "support/Png.h"

namespace qv {
namespace {

const char* const kBom = "\xEF\xBB\xBF";

template <class Cell>
void forColumns(const ColumnFilter& filter, Cell&& cell) {
    for (int c = 0; c < kCatalogueColumnCount; ++c) {
        if (filter[static_cast<std::size_t>(c)])
            cell(c);
    }
}

std::string htmlText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string csvField(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += "\"\"";
        else if (c == '\r' || c == '\n')
            out += ' ';
        else
            out += c;
    }
    return out + "\"";
}

std::string plainField(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return out;
}

// A UTF-8 text for the body of an RTF file declared as code page 1252.
std::string rtfText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t c = decodeUtf8(text, pos);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\r' || c == '\n') {
            out += ' ';
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const std::uint8_t b = unicodeToWindows1252(c);
                   b >= 0x80 && windows1252ToUnicode(b) == c) {
            out += static_cast<char>(b);
        } else {
            // Outside code page 1252: a Unicode escape with "?" for older readers, one
            // for each UTF-16 unit.
            const auto unit = [&out](unsigned u) {
                out += "\\u" + std::to_string(static_cast<std::int16_t>(u)) + "?";
            };
            if (c >= 0x10000) {
                const char32_t v = c - 0x10000;
                unit(0xD800 + static_cast<unsigned>(v >> 10));
                unit(0xDC00 + static_cast<unsigned>(v & 0x3FF));
            } else {
                unit(static_cast<unsigned>(c));
            }
        }
    }
    return out;
}

const char* formatName(ListFormat format) {
    switch (format) {
        case ListFormat::Html:
            return "HTML";
        case ListFormat::Csv:
            return "CSV";
        case ListFormat::Rtf:
            return "RTF";
        case ListFormat::Text:
            return "Text";
        case ListFormat::IconBitmap:
            return "BMP";
        case ListFormat::IconPng:
            return "PNG";
    }
    return "HTML";
}

// A two-colour picture as 32-bit pixels, for the PNG writer.
Image32 toImage32(const Image1& picture) {
    Image32 out(picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x)
            out.at(x, y) = picture.palette[picture.get(x, y) ? 1 : 0];
    }
    return out;
}

bool writeWhole(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return false;
    }
    return true;
}

}  // namespace

const char* const kListSaveFilter =
    "HTML File (*.HTML)|*.HTML|CSV Document (*.CSV)|*.CSV|RTF Document (*.RTF)|*.RTF|Text "
    "Document (*.TXT)|*.TXT|Icon Bitmap  (*.BMP)|*.BMP";
const char* const kListSaveFilterWithPng =
    "HTML File (*.HTML)|*.HTML|CSV Document (*.CSV)|*.CSV|RTF Document (*.RTF)|*.RTF|Text "
    "Document (*.TXT)|*.TXT|Icon Bitmap  (*.BMP)|*.BMP|Icon Picture (*.PNG)|*.PNG";

ListFormat listFormatForPath(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".csv")
        return ListFormat::Csv;
    if (ext == ".rtf")
        return ListFormat::Rtf;
    if (ext == ".txt")
        return ListFormat::Text;
    if (ext == ".bmp")
        return ListFormat::IconBitmap;
    if (ext == ".png")
        return ListFormat::IconPng;
    return ListFormat::Html;
}

ListFormat listFormatFor(const std::string& path, int filterNumber) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* known : {".html", ".htm", ".csv", ".rtf", ".txt", ".bmp", ".png"}) {
        if (ext == known)
            return listFormatForPath(path);
    }
    if (filterNumber >= 1 && filterNumber <= 6)
        return static_cast<ListFormat>(filterNumber);
    return ListFormat::Html;
}

std::string catalogueHtml(const std::vector<GeosDetailEntry>& rows, const ColumnFilter& filter) {
    std::string s =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"\n"
        "\t\"http://www.w3.org/TR/html4/loose.dtd\">\n"
        "<html>\n<head>\n"
        "\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
        "\t<title>GEOSDetails</title>\n</head>\n<body>\n"
        "<table border=\"1\" cellspacing=\"0\" width=\"100%\">\n<tr>\n";
    forColumns(filter, [&](int c) {
        s += "\t<td nowrap BGCOLOR=\"#D4D0C8\"><B>";
        s += c == kColFileName ? "Filename"
                               : catalogueColumns()[static_cast<std::size_t>(c)].caption;
        s += "</B></td>\n";
    });
    s += "</tr>\n";
    for (const GeosDetailEntry& row : rows) {
        s += "<tr>\n";
        forColumns(filter, [&](int c) {
            const std::string& t = row.text(c);
            s += t.empty() ? std::string("\t<td nowrap>&nbsp;</td>\n")
                           : "\t<td nowrap>" + htmlText(t) + "</td>\n";
        });
        s += "</tr>\n";
    }
    s += "</table><p>\n</body>\n</html>";
    return s;
}

std::string catalogueCsv(const std::vector<GeosDetailEntry>& rows, const ColumnFilter& filter) {
    std::string s;
    for (const GeosDetailEntry& row : rows) {
        bool first = true;
        forColumns(filter, [&](int c) {
            if (!first)
                s += ',';
            first = false;
            s += csvField(row.text(c));
        });
        s += '\n';
    }
    return s;
}

std::string catalogueText(const std::vector<GeosDetailEntry>& rows, const ColumnFilter& filter) {
    std::string s;
    for (const GeosDetailEntry& row : rows) {
        bool first = true;
        forColumns(filter, [&](int c) {
            if (!first)
                s += '\t';
            first = false;
            s += plainField(row.text(c));
        });
        s += '\n';
    }
    return s;
}

std::string catalogueRtf(const std::vector<GeosDetailEntry>& rows, const ColumnFilter& filter) {
    const std::string border =
        "\\clbrdrl\\brdrw10\\brdrs\\clbrdrt\\brdrw10\\brdrs\\clbrdrr\\brdrw10\\brdrs"
        "\\clbrdrb\\brdrw10\\brdrs\\cellx";
    std::string s =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\n"
        "{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green255\\blue255;"
        "\\red212\\green208\\blue200;\\red255\\green255\\blue255;}\n"
        "{\\*\\generator Quorvane;}\\viewkind4\\uc1\\pard\\lang1031\\f0\\fs24\\par\n"
        "\\margl1728\\margr1440\\margt720\\margb720\\paperw16834\\paperh11909\n";
    std::string prefix =
        "\\trowd\\trgaph108\\trrh260\\trpaddl108\\trpaddr108\\trpaddfl3\\trpaddfr3\n";
    s += prefix;
    // Cells sit at their column's own place, so a filtered column leaves a gap.
    forColumns(filter, [&](int c) {
        const std::string x = std::to_string((c + 1) * 1458);
        s += "\\clvertalc\\clcbpat3" + border + x + "\n";
        prefix += "\\clvertalc\\clcbpat4" + border + x + "\n";
    });
    s += "\\pard\\intbl\\nowidctlpar\\cf1\\b\\fs16";
    forColumns(filter, [&](int c) {
        s += c == kColFileName
                 ? std::string(" Filename\\cell")
                 : std::string(" ") + catalogueColumns()[static_cast<std::size_t>(c)].caption +
                       "\\cell";
    });
    s += "\\row\\b0\n";
    prefix += "\\pard\\intbl\\nowidctlpar\\ri-123";
    for (const GeosDetailEntry& row : rows) {
        s += prefix;
        // Piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about " " + std::string&&.
        forColumns(filter, [&](int c) {
            s += ' ';
            s += rtfText(row.text(c));
            s += "\\cell";
        });
        s += "\\row\n";
    }
    s += "}}";
    return s;
}

std::string catalogueFile(const std::vector<GeosDetailEntry>& rows, const ColumnFilter& filter,
                          ListFormat format) {
    switch (format) {
        case ListFormat::Html:
            return catalogueHtml(rows, filter);
        case ListFormat::Csv:
            return kBom + catalogueCsv(rows, filter);
        case ListFormat::Rtf:
            return catalogueRtf(rows, filter);
        case ListFormat::Text:
            return catalogueText(rows, filter);
        case ListFormat::IconBitmap:
        case ListFormat::IconPng:
            break;
    }
    return {};
}

bool writeCatalogueList(const GeosCatalogue& catalogue, ListFormat format, const std::string& path,
                        const ColumnFilter& filter, Dialogs& dialogs) {
    bool ok = false;
    if (format == ListFormat::IconBitmap || format == ListFormat::IconPng) {
        const Image1 strip = catalogue.icons().strip();
        const std::vector<std::uint8_t> bytes =
            format == ListFormat::IconPng ? encodePng(toImage32(strip)) : encodeBmp(strip);
        ok = !bytes.empty() && writeWhole(path, std::string(bytes.begin(), bytes.end()));
    } else {
        ok = writeWhole(path, catalogueFile(catalogue.rows(), filter, format));
    }
    if (!ok) {
        dialogs.showError("GeosDetails", path, "",
                          std::string("Failed to save to ") + formatName(format) + "...",
                          errorflag::ReportPath);
    }
    return ok;
}

bool saveCatalogueList(GeosCatalogue& catalogue, Dialogs& dialogs, const std::string& startFolder,
                       const std::function<bool(ColumnFilter&)>& filterDialog) {
    SaveFileRequest request;
    request.caption = "Save as...";
    request.defaultExtension = "html";
    request.filter = kListSaveFilter;
    request.folder = startFolder;
    const std::optional<std::string> path = dialogs.host().askSaveFile(request);
    if (!path)
        return false;
    const ListFormat format = listFormatForPath(*path);
    if (isRowFormat(format) && !filterDialog(catalogue.settings.columns))
        return false;
    return writeCatalogueList(catalogue, format, *path, catalogue.settings.columns, dialogs);
}

}  // namespace qv
