// The ruler of the GeoWrite window: inch marks, markers and dropped markers.

#include <gtest/gtest.h>

#include "geos/GeoWriteRuler.h"

namespace qv {
namespace {

TEST(GeoWriteRuler, InchMarksOfEachLayout) {
    struct Case {
        GeoWriteLayout layout;
        double scale;
        double screen;
        std::vector<int> xs;
        const char* firstHint;
        const char* lastHint;
    };
    const Case cases[] = {
        // 0.9 x 90 + 1.5 = 82.5, ...
        {GeoWriteLayout::Normal, 0.9, 1.0, {82, 178, 274, 370, 466, 563}, "2", "7"},
        {GeoWriteLayout::Wide, 0.9, 1.0, {82, 178, 274, 370, 466, 563, 659, 754}, "1", "8"},
        // Scaled down from version 2.1: the wide page's marks, closer together.
        {GeoWriteLayout::Normal, 0.675, 1.0, {62, 134, 206, 278, 350, 422, 494, 566}, "1", "8"},
        // A screen of 144 pixels per inch.
        {GeoWriteLayout::Normal, 0.9, 1.5, {123, 267, 410, 555, 699, 843}, "2", "7"},
    };
    for (const Case& c : cases) {
        const std::vector<RulerMark> marks = rulerMarks(c.layout, c.scale, c.screen);
        std::vector<int> xs;
        for (const RulerMark& m : marks)
            xs.push_back(m.x);
        EXPECT_EQ(xs, c.xs) << c.scale << " " << c.screen;
        EXPECT_EQ(marks.front().hint, c.firstHint);
        EXPECT_EQ(marks.back().hint, c.lastHint);
    }
}

TEST(GeoWriteRuler, MarkersShowTheParagraph) {
    const double r = 4.0 / 3.0;
    ParagraphFormat p;  // first line at 54 points, further lines at 90, right indent 40
    p.leftIndent = 20 * 90;
    p.firstLineIndent = 20 * (54 - 90);
    p.rightIndent = 20 * 40;
    RulerMarkers m = rulerMarkers(p, r, 596);
    EXPECT_EQ(m.firstLine, 74);  // 54 x 4/3 + 2
    EXPECT_EQ(m.left, 122);      // 90 x 4/3 + 2
    EXPECT_EQ(m.right, 529);     // 596 - 46 x 4/3 - 5
    // A right indent of 5 points or less puts the marker at the edge.
    p.rightIndent = 20 * 5;
    EXPECT_EQ(rulerMarkers(p, r, 596).right, 578);
}

TEST(GeoWriteRuler, DroppedMarkersSetIndents) {
    const double r = 4.0 / 3.0;
    ParagraphFormat p;
    p.leftIndent = 20 * 90;
    p.firstLineIndent = 20 * (54 - 90);
    p.rightIndent = 20 * 40;
    p.tabs = {{1000, TabAlignment::Left}};
    struct Case {
        RulerMarker marker;
        int x;
        int first, others, right;  // points afterwards
    };
    const Case cases[] = {
        // The first line moves alone: (4 + 202 - 6) / r = 150.
        {RulerMarker::FirstLine, 202, 150, 90, 40},
        // The further lines move alone: (162 + 4 - 6) / r = 120.
        {RulerMarker::Left, 162, 54, 120, 40},
        // (600 + 4 - 500 - 21) / r - 12 = 50.
        {RulerMarker::Right, 500, 54, 90, 50},
        // Dragged beyond the edges: no negative indents.
        {RulerMarker::FirstLine, 0, 0, 90, 40},
        {RulerMarker::Left, 0, 54, 0, 40},
        {RulerMarker::Right, 599, 54, 90, 0},
    };
    for (const Case& c : cases) {
        const ParagraphFormat q = droppedRulerMarker(p, c.marker, c.x, 4, r, 600);
        EXPECT_EQ((q.leftIndent + q.firstLineIndent) / 20, c.first) << c.x;
        EXPECT_EQ(q.leftIndent / 20, c.others) << c.x;
        EXPECT_EQ(q.rightIndent / 20, c.right) << c.x;
        EXPECT_EQ(q.tabs, p.tabs);
    }
}

}  // namespace
}  // namespace qv
