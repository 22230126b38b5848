#pragma once

#include <string>
#include <vector>

#include "bam/BlockMap.h"

namespace qv {

// What the BAM viewer window shows, worked out from the block map, so that the
// window only draws it.

inline constexpr const char* kBamCaptionEmpty = "BAM";
inline constexpr const char* kBamCaptionLoaded =
    "BAM (RightClick on File or 'v' to View File, 't' to Detokenize File, 'e' to Export Selected "
    "Files)";

// The name of a DOS type: "standard", "SpeedDOS", "DolphinDOS", "PrologicDOS", and
// "not usable" for every other value.
const char* dosTypeName(int dosType);

// One line of the error legend: a DOS error code and its text.
struct ErrorLegendLine {
    int code = 0;
    std::string text;  // empty for a code the error table does not know
};

// Every DOS error code the image's error info records, once each, in increasing
// order with its text; empty for an image without error info.
std::vector<ErrorLegendLine> errorLegend(const BlockMap& map);

// Grid size: a header row and column plus one column per track, one row per sector.
inline constexpr int kBamGridRows = 22;
inline int bamGridColumns(const BlockMap& map) {
    return map.trackCount() + 1;
}

// Whether a grid cell (column = track, row = sector + 1) is a block that can be selected.
bool isBlockCell(const BlockMap& map, int column, int row);

// The caption while a block is selected: "BAM -> Track: ..." or, for a block with an
// error code, "Error Info -> Track: ...", with the block's file offset.
std::string blockCaption(const BlockMap& map, TrackSector ts);

// Status panels of the file viewer: "Fileoffset: $xxxxx", "Startaddress: $xxxx", and
// for a block view "Offset: $xxxxx", "Track: t ($tt)", "Sector: s ($ss)".
std::string fileOffsetStatusText(int offset);
std::string startAddressText(int address);
std::string blockOffsetText(int offset);
std::string trackText(int track);
std::string sectorText(int sector);

enum class CellColour { None, Black, Red, Green, Fuchsia, Blue, Yellow, GeosInfo };

// The colour value (red x 65536 + green x 256 + blue) of a cell colour.
int cellColourValue(CellColour colour);

// How one block cell is drawn over its BAM character.
struct CellLook {
    std::string bottomLeft;  // position, "1" or "info", drawn in bottomLeftColour
    CellColour bottomLeftColour = CellColour::Black;
    std::string bottomRight;  // record number, in blue
    std::string topRight;     // error code, in red
    CellColour frame = CellColour::None;
};

// The look of a block: the selected file's mark there (when the owners are ready),
// with its texts when showChain is on, and the block's error code.
CellLook cellLook(const BlockMap& map, TrackSector ts, bool showChain);

// Font sizes with the "Scale" options on: the grid font and the overlay font.
int gridFontSize(int rowHeight, bool showChain);
int overlayFontSize(int rowHeight, bool showChain);

// Window layout in pixels.
struct BamLayout {
    int rowHeight = 19;
    int columnWidth = 19;
    int lineWidth = 1;
    int stripHeight = 0;    // the legend strip at the bottom
    int fileListWidth = 0;  // 0 when the file list is not docked
    int fileListBorder = 0;
    int screenWidth = 0;
    int screenHeight = 0;
};

int bamClientHeight(const BamLayout& layout, int rows);
int bamClientWidth(const BamLayout& layout, int columns);
// Row height and column width after the user resized the client area.
int bamRowHeightFor(const BamLayout& layout, int rows, int clientHeight);
int bamColumnWidthFor(const BamLayout& layout, int columns, int clientWidth);

// The viewer beside its undocked file list, in screen pixels (outer widths, frames
// included). The viewer keeps its place and the list stands against its right edge.
// When the two do not fit side by side the viewer first shrinks to the screen width
// minus the list's width; then both move left as far as the screen's right edge needs.
struct UndockedPlacement {
    int viewerX = 0;
    int viewerWidth = 0;
    int listX = 0;
};
UndockedPlacement undockedPlacement(int screenX, int screenWidth, int viewerX, int viewerWidth,
                                    int listWidth);

// Where the cells of the grid lie: cells of columnWidth x rowHeight pixels, a grid line
// of lineWidth before the first cell and after every cell.
struct GridGeometry {
    int columnWidth = 19;
    int rowHeight = 19;
    int lineWidth = 1;
};

struct GridRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const GridRect&, const GridRect&) = default;
};

struct GridCell {
    int column = -1, row = -1;  // -1: no cell
    bool valid() const { return column >= 0 && row >= 0; }
    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// The keys that move the grid's selection.
enum class GridStep { Left, Right, Up, Down, FirstSector, LastSector };

// The block a key moves the selection to, as in any grid: one cell over, or to the first
// or last sector of the track. A move onto a shorter track lands on its last sector; a
// move off the blocks stays where it is. With nothing selected, the first block.
GridCell stepCell(const BlockMap& map, GridCell from, GridStep step);

GridRect gridCellRect(const GridGeometry& geometry, int column, int row);
// The cell under a point of a grid of columns x rows; none on a grid line or outside.
GridCell gridCellAt(const GridGeometry& geometry, int columns, int rows, int x, int y);
// The whole grid's size, lines included.
int gridWidth(const GridGeometry& geometry, int columns);
int gridHeight(const GridGeometry& geometry, int rows);

// The cell text of the grid: track numbers across the top, sector numbers down the
// left, the BAM character in a block cell ("" for a cell that is no block).
std::string gridCellText(const BlockMap& map, int column, int row);

}  // namespace qv
