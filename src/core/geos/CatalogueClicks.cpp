#include "geos/CatalogueClicks.h"

namespace qv {

void CatalogueClicks::press(int row, int x, int y) {
    if (row < 0) {
        // A press beside the rows starts nothing; the next press on a row is a first one.
        forget();
        return;
    }
    if (row != lastRow_) {
        lastRow_ = row;
        stage_ = 0;
        timer_.start(kDelay);
        return;
    }
    switch (stage_) {
        case 0:
        case 2:
            // The second press came before the timer ran out: a double click.
            stage_ = 1;
            timer_.stop();
            target_.openRow(row);
            break;
        case 1:
            // A slow second press: the edit waits for the release and 500 ms more.
            x_ = x;
            y_ = y;
            stage_ = 2;
            break;
        default:
            startEdit(x, y);
            break;
    }
}

void CatalogueClicks::releaseLeft() {
    if (stage_ == 2)
        timer_.start(kDelay);
}

void CatalogueClicks::timeout() {
    timer_.stop();
    if (stage_ >= 3)
        return;
    ++stage_;
    if (stage_ == 3)
        startEdit(x_, y_);
}

void CatalogueClicks::forget() {
    timer_.stop();
    lastRow_ = -1;
    stage_ = 0;
}

void CatalogueClicks::startEdit(int x, int y) {
    if (lastRow_ < 0 || !target_.editCell(lastRow_, x, y))
        lastRow_ = -1;
}

}  // namespace qv
