#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "geos/GeosFile.h"
#include "geos/GeosSettings.h"
#include "geos/IconList.h"
#include "listing/GeosEntrySink.h"
#include "support/Colour.h"
#include "support/GeosText.h"

namespace qv {

class Dialogs;
class IniFile;
struct ListerOptions;

// The nine columns of the catalogue, in display order.
enum CatalogueColumn : int {
    kColFileName = 0,
    kColFileType = 1,
    kColClass = 2,
    kColAuthor = 3,
    kColApplication = 4,
    kColDescription = 5,
    kColDate = 6,
    kColImage = 7,
    kColOffset = 8,
};
inline constexpr int kCatalogueColumnCount = 9;

// The line break between rows copied to the clipboard. A lone CR, the break of the
// Windows list control, shows no break at all in the programs of other systems.
#ifdef _WIN32
inline constexpr const char* kClipboardLineBreak = "\r\n";
#else
inline constexpr const char* kClipboardLineBreak = "\n";
#endif

struct CatalogueColumnInfo {
    const char* caption;      // list header
    int width;                // list column width in pixels
    const char* filterLabel;  // check box of the export filter dialog
    bool filterDefault;       // exported unless the user unticks it
};

const std::array<CatalogueColumnInfo, kCatalogueColumnCount>& catalogueColumns();

using ColumnFilter = std::array<bool, kCatalogueColumnCount>;
ColumnFilter defaultColumnFilter();

// One row of the catalogue. Texts are UTF-8 (the GEOS texts converted from their
// Windows-1252 form, the image path as the file system names it).
struct GeosDetailEntry {
    int iconIndex = -1;  // into the icon list; -1 for none
    std::array<std::string, kCatalogueColumnCount> columns;

    const std::string& text(int column) const { return columns[static_cast<std::size_t>(column)]; }
};

// "DD.MM.YYYY HH:MM" from the five date bytes of a directory entry (year, month, day,
// hour, minute), each byte checked on its own: years 83-99 are 1983-1999, 0-82 are
// 2000-2082, anything else 0; a month outside 1-12, a day outside 1-31, an hour
// outside 0-24 or a minute outside 0-60 shows 0.
std::string formatGeosDate(std::span<const std::uint8_t, 5> bytes);

// "Font ID : " with the ID and, for the fonts of the GEOS distribution, " -> " and
// their name.
std::string fontIdText(unsigned id);
// "Sizes : " followed by each point size (the low 6 bits of each word) and a blank.
std::string fontSizesText(const std::vector<std::uint16_t>& pointSizeWords);

// A GeoWrite document with a title page: its class names a write image, its type is
// a document and bit 7 of info-block byte 139 is set. The catalogue marks it with a
// blank after the file offset, which the GeoWrite converter reads back.
bool hasTitlePage(const std::string& classText, const std::string& typeText,
                  std::uint8_t infoByte139);
// The Fileoffset text: the offset in decimal ("FAULT" when negative), then the mark.
std::string catalogueOffsetText(int offset, bool titlePage);

// What a double click on a row opens.
enum class OpenKind { None, GeoWrite, GeoPaint, Font, PhotoScrap, PhotoAlbum, Icon };

struct OpenDecision {
    OpenKind kind = OpenKind::None;
    std::string imagePath;
    std::string fileName;    // column 0
    std::string offsetText;  // column 8 as it stands, title-page mark included (GeoWrite)
    int fileOffset = 0;      // column 8 as a number
    std::string classText;
    int albumVersion = 0;     // PhotoAlbum: 1 or 2
    std::string fontCaption;  // Font: file name, blank, author, " ; ", application
};

// The first matching rule for a row: nothing unless the image exists and the
// Fileoffset is a number; then GeoWrite, GeoPaint, font, photo scrap, photo album,
// and otherwise the row's icon.
OpenDecision decideOpen(const GeosDetailEntry& row,
                        const std::function<bool(const std::string&)>& fileExists);

// Told of every change of the catalogue's rows, before and after it, in the order a
// table model must report them: appended rows, removed ranges (highest first), a
// reset (sorting, "Clear"), a changed cell; and that the catalogue stopped taking
// rows after a failed insert.
class CatalogueObserver {
  public:
    virtual ~CatalogueObserver() = default;
    virtual void rowsAboutToBeAppended(int first, int count) {
        (void)first;
        (void)count;
    }
    virtual void rowsAppended(int first, int count) {
        (void)first;
        (void)count;
    }
    virtual void rowsAboutToBeRemoved(int first, int count) {
        (void)first;
        (void)count;
    }
    virtual void rowsRemoved(int first, int count) {
        (void)first;
        (void)count;
    }
    virtual void aboutToReset() {}
    virtual void reset() {}
    // A sort: the same rows in a new order. newToOld[i] is the old position of the row
    // now at i. An observer that does not care for the order sees a reset.
    virtual void rowsAboutToBeReordered() { aboutToReset(); }
    virtual void rowsReordered(const std::vector<int>& newToOld) {
        (void)newToOld;
        reset();
    }
    virtual void cellChanged(int row, int column) {
        (void)row;
        (void)column;
    }
    virtual void addingStopped() {}
};

// The catalogue of GEOS files met while listing: its rows, the shared icons and the
// operations of its window. It lives for the whole program run; the listing run
// hands it every GEOS entry.
class GeosCatalogue : public GeosEntrySink {
  public:
    // The options give the GEOS text conversion. A failed insert stops the catalogue
    // from taking further rows and tells the observers, which switch "Generate GEOS
    // File Details" off; the catalogue itself never writes the options.
    GeosCatalogue(const ListerOptions& options, Dialogs& dialogs);

    void addObserver(CatalogueObserver* observer);
    void removeObserver(CatalogueObserver* observer);
    // True after an insert failed: no further rows are taken.
    bool addingStopped() const { return addingStopped_; }

    // [MainForm] ShowIconMessage: report icons of a wrong size.
    bool showIconMessage = true;

    // The listing run's hand-over: the image positioned at byte 21 of the entry's
    // directory slot, the converted file name (Windows-1252), the type text, the file
    // offset of the first block and the DOS type.
    void addGeosEntry(DiskImage& image, const std::string& name, const std::string& typeText,
                      int firstBlockOffset, int dosType) override;

    const std::vector<GeosDetailEntry>& rows() const { return rows_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const IconList& icons() const { return icons_; }
    IconList& icons() { return icons_; }
    const std::vector<std::uint32_t>& iconCrcs() const { return iconCrcs_; }
    bool iconsEnabled() const { return iconsEnabled_; }
    int entryCounter() const { return entryCounter_; }

    // A click on a column header: the direction flips when the column is the one
    // sorted last, and is ascending otherwise. Returns false after "GeosDetails:
    // Failed to Sort...".
    bool sortByColumn(int column);
    // Sorts in a given direction (the command line's --sort).
    bool sort(int column, bool ascending);
    int sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return sortAscending_; }

    // "Delete Selected Items": row indices in any order, duplicates allowed.
    void deleteRows(std::vector<int> rows);
    // "Clear": no rows, no sort column, entry counter 0. Icons stay shared.
    void clear();
    // Ctrl+C: the rows' nine texts separated by tabs, rows in list order separated by
    // the platform's line break (kClipboardLineBreak), nothing after the last.
    std::string clipboardText(const std::vector<int>& rows) const;

    // Editing in place: columns 1, 7 and 8 only with "AllowEdit".
    bool canEdit(int column) const;
    // Writes an edited text (at most 255 characters, as the edit box takes). Returns
    // false for a row or column that is not there.
    bool setCellText(int row, int column, const std::string& text);

    // Status panels.
    std::string listedStatus() const;
    static std::string selectedStatus(int selected);

    GeosCatalogueSettings settings;
    // Reads the keys of the settings table; the font-ID table parse error is reported.
    void loadSettings(const IniFile& ini);
    bool settingsLoaded() const { return settingsLoaded_; }
    // Writes the keys marked "write".
    void saveSettings(IniFile& ini) const;

    // Appends a finished row (for tests and benchmarks that need many rows fast).
    void appendRow(GeosDetailEntry row);

  private:
    int findOrAddIcon(const GeosInfoBlock& info, std::uint32_t crc, const std::string& imagePath,
                      const std::string& fileName, bool& failed);
    void reportInsertFailure();
    void pushRow(GeosDetailEntry row);
    template <class F>
    void notify(F f) const {
        for (CatalogueObserver* o : observers_)
            f(*o);
    }

    const ListerOptions& options_;
    std::vector<CatalogueObserver*> observers_;
    bool addingStopped_ = false;
    Dialogs& dialogs_;
    std::vector<GeosDetailEntry> rows_;
    IconList icons_;
    std::vector<std::uint32_t> iconCrcs_;
    std::unordered_map<std::uint32_t, int> crcIndex_;  // first position of each CRC
    bool crcsValid_ = true;
    bool iconsEnabled_ = true;
    int entryCounter_ = 0;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
    bool settingsLoaded_ = false;
};

}  // namespace qv
