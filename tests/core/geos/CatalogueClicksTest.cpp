#include "geos/CatalogueClicks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

// A timer the test fires by hand, and a target that records what it was asked.
struct Clicks : ::testing::Test, ClickTimer, ClickTarget {
    bool running = false;
    int starts = 0;
    bool editable = true;
    std::vector<std::string> done;
    CatalogueClicks clicks{*this, *this};

    void start(int milliseconds) override {
        EXPECT_EQ(milliseconds, 500);
        running = true;
        ++starts;
    }
    void stop() override { running = false; }
    void openRow(int row) override { done.push_back("open " + std::to_string(row)); }
    bool editCell(int row, int x, int y) override {
        done.push_back("edit " + std::to_string(row) + " at " + std::to_string(x) + "," +
                       std::to_string(y));
        return editable;
    }
    // The timer runs out (only when it runs, as a real one would).
    void elapse() {
        if (running)
            clicks.timeout();
    }
    void click(int row, int x = 10, int y = 20) {
        clicks.press(row, x, y);
        clicks.releaseLeft();
    }
};

TEST_F(Clicks, QuickSecondClickOpens) {
    click(3);
    EXPECT_TRUE(running);
    click(3);
    EXPECT_EQ(done, (std::vector<std::string>{"open 3"}));
    EXPECT_FALSE(running);
    // The timer does not fire any more; nothing else happens.
    elapse();
    EXPECT_EQ(done.size(), 1U);
}

TEST_F(Clicks, SlowSecondClickEditsWhereItWasPressed500MsAfterRelease) {
    click(2);
    elapse();  // the first click's time is over: stage 1
    clicks.press(2, 40, 7);
    EXPECT_FALSE(running);  // the wait starts with the release
    clicks.releaseLeft();
    EXPECT_TRUE(running);
    EXPECT_TRUE(done.empty());
    elapse();
    EXPECT_EQ(done, (std::vector<std::string>{"edit 2 at 40,7"}));
    EXPECT_EQ(clicks.stage(), 3);
    // Another click on the row while at stage 3 edits the cell it lands on at once.
    click(2, 99, 1);
    EXPECT_EQ(done.back(), "edit 2 at 99,1");
}

TEST_F(Clicks, AClickDuringTheEditWaitMakesItADoubleClick) {
    click(5);
    elapse();
    click(5);  // slow second click: the edit is due in 500 ms
    click(5);  // within them: a double click after all
    elapse();
    EXPECT_EQ(done, (std::vector<std::string>{"open 5"}));
}

TEST_F(Clicks, AnotherRowStartsAfreshAndAnEditRefusedForgetsTheRow) {
    click(1);
    click(2);  // a different row is a first click, not a double click
    EXPECT_TRUE(done.empty());
    EXPECT_EQ(clicks.lastRow(), 2);
    elapse();
    editable = false;
    click(2);
    elapse();
    EXPECT_EQ(done, (std::vector<std::string>{"edit 2 at 10,20"}));
    EXPECT_EQ(clicks.lastRow(), -1);
    // The row forgotten, the next click on it is a first click again.
    click(2);
    EXPECT_EQ(done.size(), 1U);
    EXPECT_EQ(clicks.stage(), 0);
}

TEST_F(Clicks, APressBesideTheRowsStartsNothing) {
    click(4);
    click(-1);
    EXPECT_FALSE(running);
    click(-1);
    EXPECT_TRUE(done.empty());
    click(4);
    click(4);
    EXPECT_EQ(done, (std::vector<std::string>{"open 4"}));
}

}  // namespace
}  // namespace qv
