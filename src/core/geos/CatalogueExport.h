#pragma once

#include <functional>
#include <string>
#include <vector>

#include "geos/GeosCatalogue.h"

namespace qv {

class Dialogs;

// The formats of "Save List as...", numbered as the save dialog's filters.
// The icon strip can also be saved as PNG, as the sixth filter.
enum class ListFormat : int { Html = 1, Csv = 2, Rtf = 3, Text = 4, IconBitmap = 5, IconPng = 6 };

// The save dialog's filter list and default extension.
extern const char* const kListSaveFilter;
// The same with the PNG icon strip as a sixth filter, as the catalogue window offers it.
extern const char* const kListSaveFilterWithPng;

// The format a chosen file name asks for, by its extension without regard to case
// (".htm" counts as HTML); HTML, the dialog's default, for any other name.
ListFormat listFormatForPath(const std::string& path);
// The format of a save dialog's answer: the extension decides when it names one of
// the formats, otherwise the chosen filter (1-6; HTML for any other number).
ListFormat listFormatFor(const std::string& path, int filterNumber);
// Whether a format writes the rows (formats 1-4) rather than the icons.
inline bool isRowFormat(ListFormat format) {
    return format != ListFormat::IconBitmap && format != ListFormat::IconPng;
}

// The list as text, every row in list order with the columns the filter keeps, in
// column order. HTML, CSV and text are UTF-8; RTF is 7-bit text with the characters
// of code page 1252 as its bytes and any others as \u escapes.
//
// The texts are made safe for their format: HTML gets &amp; &lt; &gt;, RTF
// backslashes and braces are escaped, CSV fields are quoted with quotes doubled, and
// line breaks (and tabs in text files) become blanks.
std::string catalogueHtml(const std::vector<GeosDetailEntry>& rows, const ColumnFilter& filter);
std::string catalogueCsv(const std::vector<GeosDetailEntry>& rows, const ColumnFilter& filter);
std::string catalogueRtf(const std::vector<GeosDetailEntry>& rows, const ColumnFilter& filter);
std::string catalogueText(const std::vector<GeosDetailEntry>& rows, const ColumnFilter& filter);

// The file contents of a list format. CSV starts with a UTF-8 byte order mark, so that
// spreadsheets read the letters right; HTML names its character set in its head and
// begins with its document type, as browsers and HTML tools expect.
std::string catalogueFile(const std::vector<GeosDetailEntry>& rows, const ColumnFilter& filter,
                          ListFormat format);

// Writes the list (formats 1-4) or the icon strip (5) to a file. A file that cannot be
// written completely is removed again and "Failed to save to HTML..." (CSV, RTF,
// Text, BMP) is shown with the path. Returns false then.
bool writeCatalogueList(const GeosCatalogue& catalogue, ListFormat format, const std::string& path,
                        const ColumnFilter& filter, Dialogs& dialogs);

// "Save List as...": the save dialog ("Save as...", start folder given), then for the
// list formats the filter dialog, which edits the catalogue's column filter in place
// and returns false for Cancel; then the file. Returns true when a file was written.
bool saveCatalogueList(GeosCatalogue& catalogue, Dialogs& dialogs, const std::string& startFolder,
                       const std::function<bool(ColumnFilter&)>& filterDialog);

}  // namespace qv
