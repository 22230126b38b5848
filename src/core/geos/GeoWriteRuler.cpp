#include "geos/GeoWriteRuler.h"

#include <algorithm>

namespace qv {
namespace {

constexpr int kTwipsPerPoint = 20;

int truncated(double value) {
    return static_cast<int>(value);
}

}  // namespace

std::vector<RulerMark> rulerMarks(GeoWriteLayout layout, double baseFontScale, double screenScale) {
    static constexpr int kUnits[] = {90, 197, 303, 410, 517, 624, 731, 837};
    const double s = baseFontScale * screenScale;
    const bool normalFullScale = layout == GeoWriteLayout::Normal && baseFontScale > 0.8;
    const int count = normalFullScale ? 6 : 8;
    const int firstInch = normalFullScale ? 2 : 1;
    std::vector<RulerMark> marks;
    for (int i = 0; i < count; ++i)
        marks.push_back({truncated(s * kUnits[i] + 1.5), std::to_string(firstInch + i)});
    return marks;
}

RulerMarkers rulerMarkers(const ParagraphFormat& paragraph, double r, int clientWidth) {
    // The paragraph keeps the further lines' indent and the first line's offset from
    // it; the ruler shows the first line's indent and the further lines' position.
    const double first =
        static_cast<double>(paragraph.leftIndent + paragraph.firstLineIndent) / kTwipsPerPoint;
    const double others = static_cast<double>(paragraph.leftIndent) / kTwipsPerPoint;
    const double right = static_cast<double>(paragraph.rightIndent) / kTwipsPerPoint;
    RulerMarkers m;
    m.firstLine = truncated(first * r + 2);
    m.left = truncated(others * r + 2);
    m.right = right <= 5 ? clientWidth - 18 : truncated(clientWidth - (right + 6) * r - 5);
    return m;
}

ParagraphFormat droppedRulerMarker(ParagraphFormat paragraph, RulerMarker marker, int markerX,
                                   int dragOffset, double r, int rulerWidth) {
    if (r <= 0)
        return paragraph;
    const int first = (paragraph.leftIndent + paragraph.firstLineIndent) / kTwipsPerPoint;
    const int others = paragraph.leftIndent / kTwipsPerPoint;
    switch (marker) {
        case RulerMarker::FirstLine: {
            const int newFirst = std::max(0, truncated((dragOffset + markerX - 6) / r));
            paragraph.firstLineIndent = kTwipsPerPoint * (newFirst - others);
            break;
        }
        case RulerMarker::Left: {
            // The further lines' offset from the first line, as the ruler measures it.
            const int offset = truncated((markerX + dragOffset - 6) / r) - first;
            const int newOthers = std::max(0, first + offset);
            paragraph.leftIndent = kTwipsPerPoint * newOthers;
            paragraph.firstLineIndent = kTwipsPerPoint * (first - newOthers);
            break;
        }
        case RulerMarker::Right: {
            const int right = truncated((rulerWidth + dragOffset - markerX - 21) / r) - 12;
            paragraph.rightIndent = kTwipsPerPoint * std::max(0, right);
            break;
        }
    }
    return paragraph;
}

}  // namespace qv
