#include "geos/GeosCatalogue.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "geos/GeosFile.h"
#include "geos/PhotoAlbum.h"
#include "host/Dialogs.h"
#include "settings/IniFile.h"
#include "settings/ListerOptions.h"
#include "support/CodePage.h"
#include "support/Collation.h"
#include "support/Crc32.h"
#include "support/Text.h"

namespace qv {
namespace {

constexpr std::array<CatalogueColumnInfo, kCatalogueColumnCount> kColumns{{
    {"Icon + Filename", 130, "Filename", true},
    {"Filetype", 60, "Filetype", true},
    {"Class Text", 130, "Class Text", true},
    {"Author", 130, "Author", true},
    {"Application", 130, "Application", false},
    {"Description", 500, "Description", true},
    {"Date (DDMMYYYY) + Time", 130, "Date + Time", true},
    {"D64 Image Name", 300, "D64 Imagename", true},
    {"Fileoffset", 100, "Fileoffset", false},
}};

// Names of the fonts that came with GEOS, by font ID; ID 22 has none.
constexpr const char* kFontNames[26] = {
    "BSW",    "University", "California", "Roma",    "Dwinelle", "Cory",    "Tolman",
    "Bubble", "Fontknox",   "Harmon",     "Mykonos", "Boalt",    "Stadium", "Tilden",
    "Evans",  "Durant",     "Telegraph",  "Superb",  "Bowditch", "Ormond",  "Elmwood",
    "Hearst", nullptr,      "Channing",   "Putnam",  "LeConte"};

const char* const kDateMessage =
    "GeosDetails: Wrong Format in DateTime String. The Format is 'DD.MM.JJJJ HH:MM'";
const char* const kOffsetMessage = "GeosDetails: Wrong Format in FileOffset String...";
const char* const kSortFailed = "GeosDetails: Failed to Sort...";

// A GEOS text through the GEOS text conversion, as UTF-8.
std::string geosField(const std::string& raw, const GeosTextOptions& options) {
    return windows1252ToUtf8(convertGeosText(raw, options));
}

// The first `max` characters of a UTF-8 text.
std::string firstCharacters(const std::string& text, std::size_t max) {
    std::size_t pos = 0, count = 0;
    while (pos < text.size() && count < max) {
        decodeUtf8(text, pos);
        ++count;
    }
    return text.substr(0, pos);
}

bool allDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int digitsValue(std::string_view s) {
    int v = 0;
    for (const char c : s)
        v = v * 10 + (c - '0');
    return v;
}

// The sort value of a row's text in the sorted column.
struct SortValue {
    bool valid = true;
    std::array<int, 5> date{};  // year, month, day, hour, minute
    long long offset = 0;
    std::string key;  // collation key of other columns
};

SortValue dateValue(const std::string& s) {
    SortValue v;
    if (s.size() != 16 || s[2] != '.' || s[5] != '.' || s[13] != ':') {
        v.valid = false;
        return v;
    }
    const std::string_view t = s;
    const std::string_view parts[5] = {t.substr(6, 4), t.substr(3, 2), t.substr(0, 2),
                                       t.substr(11, 2), t.substr(14, 2)};
    for (std::size_t i = 0; i < 5; ++i) {
        if (!allDigits(parts[i])) {
            v.valid = false;
            return v;
        }
        v.date[i] = digitsValue(parts[i]);
    }
    return v;
}

// The Fileoffset as a number: digits, optionally followed by the title-page mark.
std::optional<long long> offsetNumber(std::string_view s) {
    if (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    if (!allDigits(s) || s.size() > 18)
        return std::nullopt;
    long long n = 0;
    for (const char c : s)
        n = n * 10 + (c - '0');
    return n;
}

SortValue offsetValue(const std::string& s) {
    SortValue v;
    const std::optional<long long> n = offsetNumber(s);
    v.valid = n.has_value();
    v.offset = n.value_or(0);
    return v;
}

// Compares two rows' sort values, reporting each kind of format problem once.
class RowComparer {
  public:
    RowComparer(int column, const std::vector<SortValue>& values, Dialogs& dialogs)
        : column_(column), values_(values), dialogs_(dialogs) {}

    int operator()(int a, int b) {
        const SortValue& x = values_[static_cast<std::size_t>(a)];
        const SortValue& y = values_[static_cast<std::size_t>(b)];
        if (column_ == kColDate || column_ == kColOffset) {
            if (!x.valid || !y.valid) {
                if (!reported_) {
                    reported_ = true;
                    dialogs_.message(column_ == kColDate ? kDateMessage : kOffsetMessage);
                }
                return 0;
            }
            if (column_ == kColOffset)
                return x.offset < y.offset ? -1 : x.offset > y.offset ? 1 : 0;
            for (std::size_t i = 0; i < 5; ++i) {
                if (x.date[i] != y.date[i])
                    return x.date[i] < y.date[i] ? -1 : 1;
            }
            return 0;
        }
        const int r = x.key.compare(y.key);
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }

  private:
    int column_;
    const std::vector<SortValue>& values_;
    Dialogs& dialogs_;
    bool reported_ = false;
};

// A stable merge sort that stays in bounds whatever the comparison answers.
template <class Compare>
void mergeSort(std::vector<int>& a, Compare&& cmp) {
    const std::size_t n = a.size();
    std::vector<int> buf(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                buf[k++] = cmp(a[j], a[i]) < 0 ? a[j++] : a[i++];
            while (i < mid)
                buf[k++] = a[i++];
            while (j < hi)
                buf[k++] = a[j++];
        }
        a.swap(buf);
    }
}

// A quicksort (not stable) whose scans are bounded, so that a comparison that treats
// a malformed text as equal to everything cannot lead it astray.
template <class Compare>
void quickSort(std::vector<int>& a, Compare&& cmp) {
    std::vector<std::pair<long, long>> pending;
    pending.emplace_back(0, static_cast<long>(a.size()) - 1);
    const auto at = [&a](long i) -> int& { return a[static_cast<std::size_t>(i)]; };
    while (!pending.empty()) {
        auto [lo, hi] = pending.back();
        pending.pop_back();
        while (lo < hi) {
            const int pivot = at(lo + (hi - lo) / 2);
            long i = lo, j = hi;
            while (i <= j) {
                while (i <= hi && cmp(at(i), pivot) < 0)
                    ++i;
                while (j >= lo && cmp(at(j), pivot) > 0)
                    --j;
                if (i <= j) {
                    std::swap(at(i), at(j));
                    ++i;
                    --j;
                }
            }
            // Go on with the smaller part, keep the larger one for later.
            if (j - lo < hi - i) {
                pending.emplace_back(i, hi);
                hi = j;
            } else {
                pending.emplace_back(lo, j);
                lo = i;
            }
        }
    }
}

}  // namespace

const std::array<CatalogueColumnInfo, kCatalogueColumnCount>& catalogueColumns() {
    return kColumns;
}

ColumnFilter defaultColumnFilter() {
    ColumnFilter f{};
    for (std::size_t i = 0; i < f.size(); ++i)
        f[i] = kColumns[i].filterDefault;
    return f;
}

std::string formatGeosDate(std::span<const std::uint8_t, 5> b) {
    const int y = b[0];
    const int year = y >= 83 && y <= 99 ? 1900 + y : y <= 82 ? 2000 + y : 0;
    const int month = b[1] >= 1 && b[1] <= 12 ? b[1] : 0;
    const int day = b[2] >= 1 && b[2] <= 31 ? b[2] : 0;
    const int hour = b[3] <= 24 ? b[3] : 0;
    const int minute = b[4] <= 60 ? b[4] : 0;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02i.%02i.%04i %02i:%02i", day, month, year, hour, minute);
    return buf;
}

std::string fontIdText(unsigned id) {
    std::string s = "Font ID : " + std::to_string(id);
    if (id < 26 && kFontNames[id] != nullptr)
        s += std::string(" -> ") + kFontNames[id];
    return s;
}

std::string fontSizesText(const std::vector<std::uint16_t>& words) {
    std::string s = "Sizes : ";
    for (const std::uint16_t w : words)
        s += std::to_string(w & 0x3F) + " ";
    return s;
}

bool hasTitlePage(const std::string& classText, const std::string& typeText,
                  std::uint8_t infoByte139) {
    return contains(upperAscii(classText), "WRITE IMAGE") && contains(typeText, "DOC") &&
           (infoByte139 & 0x80) != 0;
}

std::string catalogueOffsetText(int offset, bool titlePage) {
    return (offset < 0 ? std::string("FAULT") : std::to_string(offset)) + (titlePage ? " " : "");
}

OpenDecision decideOpen(const GeosDetailEntry& row,
                        const std::function<bool(const std::string&)>& fileExists) {
    OpenDecision d;
    const std::string& offsetText = row.text(kColOffset);
    if (offsetText.empty() || offsetText == "FAULT" || !fileExists(row.text(kColImage)))
        return d;
    // An edited Fileoffset that is no number cannot be opened either.
    const std::optional<long long> offset = offsetNumber(offsetText);
    if (!offset || *offset > 0x7FFFFFFF)
        return d;
    d.imagePath = row.text(kColImage);
    d.fileName = row.text(kColFileName);
    d.offsetText = offsetText;
    d.fileOffset = static_cast<int>(*offset);
    d.classText = row.text(kColClass);
    switch (geosDocumentKind(row.text(kColFileType), row.text(kColClass))) {
        case GeosDocumentKind::GeoWrite:
            d.kind = OpenKind::GeoWrite;
            break;
        case GeosDocumentKind::GeoPaint:
            d.kind = OpenKind::GeoPaint;
            break;
        case GeosDocumentKind::Font:
            d.kind = OpenKind::Font;
            d.fontCaption =
                d.fileName + " " + row.text(kColAuthor) + " ; " + row.text(kColApplication);
            break;
        case GeosDocumentKind::PhotoScrap:
            d.kind = OpenKind::PhotoScrap;
            break;
        case GeosDocumentKind::PhotoAlbum:
            d.kind = OpenKind::PhotoAlbum;
            d.albumVersion = PhotoAlbum::versionFromClass(row.text(kColClass));
            break;
        case GeosDocumentKind::Other:
            d.kind = OpenKind::Icon;
            break;
    }
    return d;
}

GeosCatalogue::GeosCatalogue(const ListerOptions& options, Dialogs& dialogs)
    : options_(options), dialogs_(dialogs) {
    try {
        iconCrcs_.reserve(200);
    } catch (const std::bad_alloc&) {
        crcsValid_ = false;
        dialogs_.message("MainForm: Failed to allocate memory for GeosIcons...GeosIcons limited");
    }
}

int GeosCatalogue::findOrAddIcon(const GeosInfoBlock& info, std::uint32_t crc,
                                 const std::string& imagePath, const std::string& fileName,
                                 bool& failed) {
    if (!crcsValid_)
        return -1;
    if (const auto it = crcIndex_.find(crc); it != crcIndex_.end())
        return it->second;
    if (!iconsEnabled_)
        return -1;
    Image1 icon;
    try {
        icon = makeGeosIcon(info.iconWidth, info.iconHeight, info.icon);
    } catch (const std::bad_alloc&) {
        dialogs_.showError("MainForm", imagePath, fileName,
                           "Error while drawing Geos Icon...aborted",
                           errorflag::OkOnly | errorflag::NoFileCaption);
        failed = true;
        return -1;
    }
    const std::optional<int> index = icons_.add(std::move(icon));
    if (!index) {
        dialogs_.message(
            "Due to limits from Windows no more new Geos Icons can be added.\nSome of the "
            "following GeosDetails entries (after entry " +
            std::to_string(entryCounter_) + ") will not have an Icon");
        iconsEnabled_ = false;
        return -1;
    }
    try {
        iconCrcs_.push_back(crc);
        crcIndex_.emplace(crc, *index);
    } catch (const std::bad_alloc&) {
        std::vector<std::uint32_t>().swap(iconCrcs_);
        crcIndex_.clear();
        crcsValid_ = false;
        iconsEnabled_ = false;
        dialogs_.message(
            "MainForm: Failed to reallocate memory for Geos Icons...Geos Icons limited");
    }
    return *index;
}

void GeosCatalogue::addObserver(CatalogueObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void GeosCatalogue::removeObserver(CatalogueObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void GeosCatalogue::reportInsertFailure() {
    addingStopped_ = true;
    dialogs_.showError("MainForm", "", "", "Error adding files to GeosDetails!\nNo further adding!",
                       errorflag::ReportPath);
    notify([](CatalogueObserver& o) { o.addingStopped(); });
}

void GeosCatalogue::pushRow(GeosDetailEntry row) {
    const int at = rowCount();
    notify([at](CatalogueObserver& o) { o.rowsAboutToBeAppended(at, 1); });
    rows_.push_back(std::move(row));
    ++entryCounter_;
    notify([at](CatalogueObserver& o) { o.rowsAppended(at, 1); });
}

void GeosCatalogue::addGeosEntry(DiskImage& image, const std::string& name,
                                 const std::string& typeText, int firstBlockOffset, int dosType) {
    if (addingStopped_)
        return;
    // Directory bytes 21-29: info-block link, structure, GEOS type, date and time.
    std::array<std::uint8_t, 9> slot{};
    if (!image.readAt(image.tell(), slot))
        return;
    const int infoOffset = blockOffset(slot[0], slot[1], dosType);
    if (infoOffset < 0)
        return;
    const std::optional<Block> block = image.readBlockAt(infoOffset);
    if (!block)
        return;

    const std::string fileName = windows1252ToUtf8(trimEnd(name));
    const std::string date = formatGeosDate(std::span<const std::uint8_t, 5>(slot.data() + 4, 5));

    const GeosInfoBlock info = decodeInfoBlock(*block);
    if (!info.iconValid()) {
        if (showIconMessage) {
            dialogs_.showError("MainForm", image.path(), fileName,
                               "Wrong Size of Geos Icon...aborted", errorflag::OkOnly);
        }
        return;
    }
    const std::uint32_t crc = crc32(info.icon);
    bool failed = false;
    const int iconIndex = findOrAddIcon(info, crc, image.path(), fileName, failed);
    if (failed)
        return;

    try {
        const GeosTextOptions text = geosTextOptions(options_);
        GeosDetailEntry row;
        row.iconIndex = iconIndex;
        row.columns[kColFileName] = fileName;
        row.columns[kColFileType] = windows1252ToUtf8(typeText);
        row.columns[kColClass] = geosField(info.classText, text);
        if (contains(typeText, "FON")) {
            row.columns[kColAuthor] = fontIdText(info.fontId);
            row.columns[kColApplication] = fontSizesText(info.pointSizeWords);
        } else {
            row.columns[kColAuthor] = geosField(info.author, text);
            row.columns[kColApplication] = geosField(info.application, text);
        }
        row.columns[kColDescription] = geosField(info.description, text);
        row.columns[kColDate] = date;
        row.columns[kColImage] = image.path();
        row.columns[kColOffset] = catalogueOffsetText(
            firstBlockOffset, hasTitlePage(info.classText, typeText, info.raw[139]));
        pushRow(std::move(row));
    } catch (const std::bad_alloc&) {
        reportInsertFailure();
    }
}

void GeosCatalogue::appendRow(GeosDetailEntry row) {
    pushRow(std::move(row));
}

bool GeosCatalogue::sortByColumn(int column) {
    const bool ascending = column != sortColumn_ ? true : !sortAscending_;
    return sort(column, ascending);
}

bool GeosCatalogue::sort(int column, bool ascending) {
    if (column < 0 || column >= kCatalogueColumnCount)
        return false;
    sortAscending_ = ascending;
    sortColumn_ = column;
    try {
        const std::size_t n = rows_.size();
        std::vector<SortValue> values(n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::string& t = rows_[i].text(column);
            if (column == kColDate)
                values[i] = dateValue(t);
            else if (column == kColOffset)
                values[i] = offsetValue(t);
            else
                values[i].key = collationKey(t);
        }
        std::vector<int> order(n);
        for (std::size_t i = 0; i < n; ++i)
            order[i] = static_cast<int>(i);
        RowComparer compare(column, values, dialogs_);
        if (settings.ownSort) {
            // The own sort orders ascending and reads the result backwards for descending.
            quickSort(order, compare);
            if (!ascending)
                std::reverse(order.begin(), order.end());
        } else {
            mergeSort(order,
                      [&](int a, int b) { return ascending ? compare(a, b) : -compare(a, b); });
        }
        // Every row moves to its new place at once; the new list is complete before the
        // old one is given up, so a failure leaves every row where it was.
        std::vector<GeosDetailEntry> sorted;
        sorted.reserve(n);
        notify([](CatalogueObserver& o) { o.rowsAboutToBeReordered(); });
        for (const int i : order)
            sorted.push_back(std::move(rows_[static_cast<std::size_t>(i)]));
        rows_.swap(sorted);
        notify([&order](CatalogueObserver& o) { o.rowsReordered(order); });
    } catch (const std::bad_alloc&) {
        dialogs_.message(kSortFailed);
        return false;
    }
    return true;
}

void GeosCatalogue::deleteRows(std::vector<int> rows) {
    std::vector<bool> gone(rows_.size(), false);
    for (const int r : rows) {
        if (r >= 0 && r < rowCount())
            gone[static_cast<std::size_t>(r)] = true;
    }
    // Each run of deleted rows goes at once, the last run first, so that the positions
    // told to the observers stay valid.
    int end = rowCount();
    while (end > 0) {
        while (end > 0 && !gone[static_cast<std::size_t>(end - 1)])
            --end;
        int first = end;
        while (first > 0 && gone[static_cast<std::size_t>(first - 1)])
            --first;
        if (first == end)
            break;
        const int count = end - first;
        notify([=](CatalogueObserver& o) { o.rowsAboutToBeRemoved(first, count); });
        rows_.erase(rows_.begin() + first, rows_.begin() + end);
        notify([=](CatalogueObserver& o) { o.rowsRemoved(first, count); });
        end = first;
    }
}

void GeosCatalogue::clear() {
    notify([](CatalogueObserver& o) { o.aboutToReset(); });
    rows_.clear();
    sortColumn_ = -1;
    sortAscending_ = true;
    entryCounter_ = 0;
    notify([](CatalogueObserver& o) { o.reset(); });
}

std::string GeosCatalogue::clipboardText(const std::vector<int>& rows) const {
    std::vector<int> chosen;
    for (const int r : rows) {
        if (r >= 0 && r < rowCount())
            chosen.push_back(r);
    }
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    std::string text;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (i > 0)
            text += kClipboardLineBreak;
        const GeosDetailEntry& row = rows_[static_cast<std::size_t>(chosen[i])];
        for (int c = 0; c < kCatalogueColumnCount; ++c) {
            if (c > 0)
                text += '\t';
            text += row.text(c);
        }
    }
    return text;
}

bool GeosCatalogue::canEdit(int column) const {
    if (column < 0 || column >= kCatalogueColumnCount)
        return false;
    if (column == kColFileType || column == kColImage || column == kColOffset)
        return settings.allowEdit;
    return true;
}

bool GeosCatalogue::setCellText(int row, int column, const std::string& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kCatalogueColumnCount)
        return false;
    rows_[static_cast<std::size_t>(row)].columns[static_cast<std::size_t>(column)] =
        firstCharacters(text, 255);
    notify([=](CatalogueObserver& o) { o.cellChanged(row, column); });
    return true;
}

std::string GeosCatalogue::listedStatus() const {
    return std::to_string(rowCount()) + " GEOS File(s) listed";
}

std::string GeosCatalogue::selectedStatus(int selected) {
    return std::to_string(selected) + " GEOS File(s) selected";
}

void GeosCatalogue::loadSettings(const IniFile& ini) {
    settings = GeosCatalogueSettings::load(ini);
    if (!settings.fontTable.message.empty())
        dialogs_.message(settings.fontTable.message);
    settingsLoaded_ = true;
}

void GeosCatalogue::saveSettings(IniFile& ini) const {
    settings.save(ini);
}

}  // namespace qv
