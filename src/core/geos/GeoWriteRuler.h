#pragma once

#include <string>
#include <vector>

#include "geos/GeoWrite.h"
#include "support/RichText.h"

namespace qv {

// The ruler above the GeoWrite view: the inch marks of the page and three markers
// that show, and by dragging set, the indents of the paragraph at the cursor. All
// positions are pixels from the ruler's left edge.

struct RulerMark {
    int x = 0;
    std::string hint;  // the inch the mark stands for
};

// Six marks at 90, 197, 303, 410, 517 and 624 page units times the shown font scale
// (plus 1.5). In the normal layout at full scale (0.9) they read "2" to "7"; in the
// wide layout, or scaled down from version 2.1, "1" to "6" and two more marks at 731
// and 837 read "7" and "8".
std::vector<RulerMark> rulerMarks(GeoWriteLayout layout, double baseFontScale, double screenScale);

enum class RulerMarker { FirstLine, Left, Right };

// Where the markers stand for a paragraph. r is the ruler scale (pixels per point),
// clientWidth the width of the view's text area.
struct RulerMarkers {
    int firstLine = 0;
    int left = 0;
    int right = 0;
};
RulerMarkers rulerMarkers(const ParagraphFormat& paragraph, double r, int clientWidth);

// The indents a paragraph gets when a marker is dropped at markerX. dragOffset is
// how far the text area of the view starts right of the ruler's origin, rulerWidth
// the ruler's width. The first-line marker moves the first line only, the left
// marker the further lines, the right marker the right indent; no indent becomes
// negative.
ParagraphFormat droppedRulerMarker(ParagraphFormat paragraph, RulerMarker marker, int markerX,
                                   int dragOffset, double r, int rulerWidth);

}  // namespace qv
