#include "bam/BamView.h"

#include <algorithm>
#include <cstdio>

#include "bam/ErrorCodes.h"

namespace qv {
namespace {

std::string format(const char* pattern, int a) {
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, a, static_cast<unsigned>(a & 0xFF));
    return buf;
}

}  // namespace

const char* dosTypeName(int dosType) {
    switch (dosType) {
        case kDosStandard:
            return "standard";
        case kDosSpeedDos:
            return "SpeedDOS";
        case kDosDolphinDos:
            return "DolphinDOS";
        case kDosPrologicDos:
            return "PrologicDOS";
        default:
            return "not usable";
    }
}

std::vector<ErrorLegendLine> errorLegend(const BlockMap& map) {
    std::vector<int> codes;
    if (map.hasErrorInfo()) {
        for (int track = 1; track <= map.trackCount(); ++track) {
            for (int sector = 0; sector < sectorsOnTrack(track); ++sector) {
                const int code = map.errorCode(track, sector);
                if (code != 0 && std::find(codes.begin(), codes.end(), code) == codes.end())
                    codes.push_back(code);
            }
        }
        std::sort(codes.begin(), codes.end());
    }
    std::vector<ErrorLegendLine> lines;
    for (const int code : codes)
        lines.push_back({code, errorText(code).value_or("")});
    return lines;
}

bool isBlockCell(const BlockMap& map, int column, int row) {
    return column >= 1 && column <= map.trackCount() && row >= 1 && row <= sectorsOnTrack(column);
}

GridCell stepCell(const BlockMap& map, GridCell from, GridStep step) {
    if (map.trackCount() < 1)
        return {};
    if (!isBlockCell(map, from.column, from.row))
        return {1, 1};
    int column = from.column;
    int row = from.row;
    switch (step) {
        case GridStep::Left:
            column = std::max(1, column - 1);
            break;
        case GridStep::Right:
            column = std::min(map.trackCount(), column + 1);
            break;
        case GridStep::Up:
            row = std::max(1, row - 1);
            break;
        case GridStep::Down:
            row = std::min(sectorsOnTrack(column), row + 1);
            break;
        case GridStep::FirstSector:
            row = 1;
            break;
        case GridStep::LastSector:
            row = sectorsOnTrack(column);
            break;
    }
    return {column, std::min(row, sectorsOnTrack(column))};
}

std::string blockCaption(const BlockMap& map, TrackSector ts) {
    const char* lead = map.errorCode(ts.track, ts.sector) != 0 ? "Error Info" : "BAM";
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "%s -> Track: %02i ($%02X) ; Sector: %02i ($%02X) => Offset: $%05X", lead,
                  ts.track, static_cast<unsigned>(ts.track & 0xFF), ts.sector,
                  static_cast<unsigned>(ts.sector & 0xFF),
                  static_cast<unsigned>(std::max(0, map.blockOffset(ts))));
    return buf;
}

std::string fileOffsetStatusText(int offset) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Fileoffset: $%05X", static_cast<unsigned>(offset));
    return buf;
}

std::string startAddressText(int address) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Startaddress: $%04X", static_cast<unsigned>(address & 0xFFFF));
    return buf;
}

std::string blockOffsetText(int offset) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Offset: $%05X", static_cast<unsigned>(offset));
    return buf;
}

std::string trackText(int track) {
    return format("Track: %i ($%02X)", track);
}

std::string sectorText(int sector) {
    return format("Sector: %i ($%02X)", sector);
}

int cellColourValue(CellColour colour) {
    switch (colour) {
        case CellColour::Red:
            return 0xFF0000;
        case CellColour::Green:
            return 0x008000;
        case CellColour::Fuchsia:
            return 0xFF00FF;
        case CellColour::Blue:
            return 0x0000FF;
        case CellColour::Yellow:
            return 0xFFFF00;
        case CellColour::GeosInfo:
            return 255 * 65536 + 0 * 256 + 128;
        case CellColour::None:
        case CellColour::Black:
            return 0;
    }
    return 0;
}

CellLook cellLook(const BlockMap& map, TrackSector ts, bool showChain) {
    CellLook look;
    const int code = map.errorCode(ts.track, ts.sector);
    if (code != 0)
        look.topRight = std::to_string(code);
    if (!map.ownerReady()) {
        if (code != 0)
            look.frame = CellColour::Red;
        return look;
    }
    const ChainMark m = map.markAt(map.selectedFile(), ts);
    std::string bottomLeft, bottomRight;
    if (m == 0) {
        look.frame = code != 0 ? CellColour::Red : CellColour::None;
        return look;
    }
    if (m & kMarkInfoBlock) {
        bottomLeft = "info";
        look.frame = CellColour::GeosInfo;
    } else if (m & kMarkRecordStart) {
        bottomLeft = "1";
        bottomRight = std::to_string(markPosition(m));
        look.frame = CellColour::Blue;
    } else if (markRecord(m) != 0) {
        bottomLeft = std::to_string(markPosition(m));
        bottomRight = std::to_string(markRecord(m));
        look.frame = CellColour::Yellow;
    } else {
        bottomLeft = std::to_string(markPosition(m));
        look.frame = CellColour::Green;
    }
    if (code != 0 || (m & kMarkIllegalLink))
        look.frame = CellColour::Fuchsia;
    if (showChain) {
        look.bottomLeft = bottomLeft;
        look.bottomRight = bottomRight;
    }
    return look;
}

int gridFontSize(int rowHeight, bool showChain) {
    return showChain ? rowHeight / 3 : rowHeight / 2;
}

int overlayFontSize(int rowHeight, bool showChain) {
    return showChain ? rowHeight / 4 + 1 : rowHeight / 3 + 1;
}

int bamClientHeight(const BamLayout& l, int rows) {
    const int h = rows * l.rowHeight + (rows + 1) * l.lineWidth + l.stripHeight + 2;
    return l.screenHeight > 0 ? std::min(h, l.screenHeight) : h;
}

int bamClientWidth(const BamLayout& l, int columns) {
    const int grid = columns * l.columnWidth + (columns + 1) * l.lineWidth;
    const int w = l.fileListWidth > 0 ? grid + l.fileListWidth + l.fileListBorder + 1 : grid + 4;
    return l.screenWidth > 0 ? std::min(w, l.screenWidth) : w;
}

int bamRowHeightFor(const BamLayout& l, int rows, int clientHeight) {
    if (rows <= 0)
        return l.rowHeight;
    return std::max(0, (clientHeight - (rows + 1) * l.lineWidth - l.stripHeight) / rows);
}

int bamColumnWidthFor(const BamLayout& l, int columns, int clientWidth) {
    if (columns <= 0)
        return l.columnWidth;
    const int available = clientWidth - l.fileListWidth;
    return std::max(0, (available - (columns + 1) * l.lineWidth) / columns);
}

UndockedPlacement undockedPlacement(int screenX, int screenWidth, int viewerX, int viewerWidth,
                                    int listWidth) {
    UndockedPlacement p;
    p.viewerWidth = viewerWidth;
    if (p.viewerWidth + listWidth > screenWidth)
        p.viewerWidth = std::max(0, screenWidth - listWidth);
    p.viewerX = std::min(viewerX, screenX + screenWidth - listWidth - p.viewerWidth);
    p.viewerX = std::max(p.viewerX, screenX);
    p.listX = p.viewerX + p.viewerWidth;
    return p;
}

GridRect gridCellRect(const GridGeometry& g, int column, int row) {
    return {g.lineWidth + column * (g.columnWidth + g.lineWidth),
            g.lineWidth + row * (g.rowHeight + g.lineWidth), g.columnWidth, g.rowHeight};
}

GridCell gridCellAt(const GridGeometry& g, int columns, int rows, int x, int y) {
    const int stepX = g.columnWidth + g.lineWidth;
    const int stepY = g.rowHeight + g.lineWidth;
    if (stepX <= 0 || stepY <= 0 || x < g.lineWidth || y < g.lineWidth)
        return {};
    const int column = (x - g.lineWidth) / stepX;
    const int row = (y - g.lineWidth) / stepY;
    if (column >= columns || row >= rows)
        return {};
    // The line behind a cell belongs to no cell.
    if ((x - g.lineWidth) % stepX >= g.columnWidth || (y - g.lineWidth) % stepY >= g.rowHeight)
        return {};
    return {column, row};
}

int gridWidth(const GridGeometry& g, int columns) {
    return columns * g.columnWidth + (columns + 1) * g.lineWidth;
}

int gridHeight(const GridGeometry& g, int rows) {
    return rows * g.rowHeight + (rows + 1) * g.lineWidth;
}

std::string gridCellText(const BlockMap& map, int column, int row) {
    if (row == 0)
        return column > 0 ? std::to_string(column) : std::string();
    if (column == 0)
        return std::to_string(row - 1);
    const char c = map.bamCell(column, row - 1);
    return isBlockCell(map, column, row) && c != '\0' ? std::string(1, c) : std::string();
}

}  // namespace qv
