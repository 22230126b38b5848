#pragma once

namespace qv {

// The timer the click machine runs on. The window gives it a real 500 ms timer; tests
// give it one they fire themselves.
class ClickTimer {
  public:
    virtual ~ClickTimer() = default;
    // (Re)starts the timer: it fires once, after `milliseconds`, unless stopped first.
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
};

// What the click machine asks the window to do.
class ClickTarget {
  public:
    virtual ~ClickTarget() = default;
    // Opens the row's document (the double click).
    virtual void openRow(int row) = 0;
    // Starts editing the cell of the row under the position (window coordinates of
    // the press that asked for it). False when there is no cell there that may be
    // edited; the machine then forgets the row.
    virtual bool editCell(int row, int x, int y) = 0;
};

// Tells a double click from a slow second click in the catalogue's list. A second
// click on the same row within 500 ms opens the row; a slower second click on the
// selected row edits the clicked cell 500 ms after the button is released, unless a
// further click within that time makes it a double click after all.
//
// The stages: 0 the timer runs after a first click; 1 the row waits for a second
// click; 2 a slow second click was pressed and its release starts the timer again; 3
// an edit is due or has started.
class CatalogueClicks {
  public:
    static constexpr int kDelay = 500;

    CatalogueClicks(ClickTimer& timer, ClickTarget& target) : timer_(timer), target_(target) {}

    // A left or middle press without Shift or Ctrl on `row` (the selected row the
    // press landed on; -1 for none) at (x, y).
    void press(int row, int x, int y);
    // The left button was released.
    void releaseLeft();
    // The timer fired.
    void timeout();
    // Forgets the last clicked row (its rows changed under it).
    void forget();

    int lastRow() const { return lastRow_; }
    int stage() const { return stage_; }

  private:
    void startEdit(int x, int y);

    ClickTimer& timer_;
    ClickTarget& target_;
    int lastRow_ = -1;
    int stage_ = 0;
    int x_ = 0;
    int y_ = 0;
};

}  // namespace qv
