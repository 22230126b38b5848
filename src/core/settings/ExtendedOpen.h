#pragma once

#include <string>
#include <vector>

// The rules of the extended open dialog: the file tree of a folder search with its
// check boxes, the initial location, and the sweep of the mouse over the tree. The
// window draws them; everything it decides is here.

namespace qv {

// One level of folder nodes (every folder with a matching file, its path ending with
// the separator), each with one level of file nodes.
class EodFileTree {
  public:
    struct File {
        std::string name;
        bool checked = false;
    };
    struct Folder {
        std::string path;
        bool checked = false;
        std::vector<File> files;
    };
    // A node: a folder (file < 0) or one of its files.
    struct Node {
        int folder = -1;
        int file = -1;
        bool isFolder() const { return file < 0; }
        friend bool operator==(const Node&, const Node&) = default;
    };

    const std::vector<Folder>& folders() const { return folders_; }
    bool empty() const { return folders_.empty(); }
    int selectedCount() const { return selected_; }
    bool checked(Node n) const;

    void clear();

    // The search's events. fileMatched returns true when it opened a new folder node
    // (the previous folder's files are sorted then).
    void folderChanged(const std::string& folder);
    bool fileMatched(const std::string& folder, const std::string& name);
    // The last folder's files and the folders sorted.
    void searchFinished();

    // A click on a node (left button, no Shift): toggles it by the folder rules (a
    // folder gives all its files its new state; unchecking a file unchecks its
    // folder; checking a file leaves the folder), and it becomes the anchor.
    void toggle(Node n);
    // Shift with a click: every node after the anchor up to TARGET toggled in turn,
    // walking the files across folders (from a file) or the folders (from a folder);
    // TARGET becomes the anchor. When the walk goes the other way than the last one,
    // the anchor is toggled back first.
    void shiftToggle(Node target);
    // Sets a node's state by the folder rules (the sweep checks or unchecks).
    void setChecked(Node n, bool on);
    void checkAll();
    void uncheckAll();

    // The full paths of the checked files: folders in tree order, files in folder
    // order.
    std::vector<std::string> resultList() const;

  private:
    void setFile(int folder, int file, bool on);
    void sortFiles(int folder);
    // Display order of the walk of shiftToggle: files across folders, or folders.
    std::vector<Node> walkOrder(bool files) const;

    std::vector<Folder> folders_;
    std::string currentFolder_;
    bool folderOpened_ = false;  // the current folder has a node
    int selected_ = 0;
    Node anchor_;
    int lastDirection_ = 0;
};

// "Initial Directory for next start:": what its text stands for.
enum class LocationKind {
    Folder,     // an existing folder
    Namespace,  // "::{...}": a shell location (Windows only)
    Desktop,    // DESKTOP
    Drives,     // DRIVES: the computer's drives (here: the mounted volumes)
    Network,    // NETWORK
    NetHood,    // NETHOOD
    Personal,   // PERSONAL: the user's documents
    None,       // anything else: the field is emptied, the desktop is shown
};
// FOLDER_EXISTS tells whether the text names an existing folder. A shell location
// counts only where WINDOWS is set.
LocationKind initialLocationKind(const std::string& text, bool folderExists, bool windows);

// The text kept for the next opening: a trailing separator removed unless it follows
// a drive colon (or is the whole root "/"), and a bare drive "X:" given one.
std::string normalizeInitialLocation(std::string text);

// The mouse sweep over the tree (drag with the left button to check, the right to
// uncheck).
struct EodSweep {
    // The rectangle is looked at again once the pointer has moved this far.
    static constexpr int kMoveX = 20;
    static constexpr int kMoveY = 10;
    // It is sampled every so many pixels across and down.
    static constexpr int kStepX = 50;
    static constexpr int kStepY = 10;
    // Near the edges the tree scrolls by a line every kScrollMilliseconds.
    static constexpr int kBottomZone = 36;
    static constexpr int kTopZone = 20;
    static constexpr int kScrollMilliseconds = 10;

    static bool needsUpdate(int dx, int dy) {
        return dx > kMoveX || dx < -kMoveX || dy > kMoveY || dy < -kMoveY;
    }
    // The sample points of the rectangle between two corners (any order), its edges
    // included.
    struct Point {
        int x = 0;
        int y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };
    static std::vector<Point> samples(Point a, Point b);
    // -1 scroll up, +1 down, 0 not at all, for the pointer at Y in a view HEIGHT high.
    static int scrollDirection(int y, int height);
};

}  // namespace qv
