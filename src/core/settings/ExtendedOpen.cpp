#include "settings/ExtendedOpen.h"

#include <algorithm>

namespace qv {

namespace {

bool lessNoCase(const std::string& a, const std::string& b) {
    const auto lower = [](char c) {
        return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (lower(a[i]) != lower(b[i]))
            return lower(a[i]) < lower(b[i]);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

}  // namespace

bool EodFileTree::checked(Node n) const {
    if (n.folder < 0 || n.folder >= static_cast<int>(folders_.size()))
        return false;
    const Folder& f = folders_[static_cast<std::size_t>(n.folder)];
    if (n.isFolder())
        return f.checked;
    return n.file < static_cast<int>(f.files.size()) &&
           f.files[static_cast<std::size_t>(n.file)].checked;
}

void EodFileTree::clear() {
    folders_.clear();
    currentFolder_.clear();
    folderOpened_ = false;
    selected_ = 0;
    anchor_ = {};
    lastDirection_ = 0;
}

void EodFileTree::folderChanged(const std::string& folder) {
    currentFolder_ = folder;
    folderOpened_ = false;
}

bool EodFileTree::fileMatched(const std::string& folder, const std::string& name) {
    bool opened = false;
    if (!folderOpened_ || folder != currentFolder_) {
        if (!folders_.empty())
            sortFiles(static_cast<int>(folders_.size()) - 1);
        folders_.push_back({folder, false, {}});
        currentFolder_ = folder;
        folderOpened_ = true;
        opened = true;
    }
    folders_.back().files.push_back({name, false});
    return opened;
}

void EodFileTree::searchFinished() {
    if (!folders_.empty())
        sortFiles(static_cast<int>(folders_.size()) - 1);
    std::stable_sort(folders_.begin(), folders_.end(),
                     [](const Folder& a, const Folder& b) { return lessNoCase(a.path, b.path); });
    folderOpened_ = false;
    anchor_ = {};
    lastDirection_ = 0;
}

void EodFileTree::sortFiles(int folder) {
    std::vector<File>& files = folders_[static_cast<std::size_t>(folder)].files;
    std::stable_sort(files.begin(), files.end(),
                     [](const File& a, const File& b) { return lessNoCase(a.name, b.name); });
}

void EodFileTree::setFile(int folder, int file, bool on) {
    File& f = folders_[static_cast<std::size_t>(folder)].files[static_cast<std::size_t>(file)];
    if (f.checked == on)
        return;
    f.checked = on;
    selected_ += on ? 1 : -1;
    if (!on)
        folders_[static_cast<std::size_t>(folder)].checked = false;
}

void EodFileTree::setChecked(Node n, bool on) {
    if (n.folder < 0 || n.folder >= static_cast<int>(folders_.size()))
        return;
    Folder& f = folders_[static_cast<std::size_t>(n.folder)];
    if (n.isFolder()) {
        f.checked = on;
        for (std::size_t i = 0; i < f.files.size(); ++i)
            setFile(n.folder, static_cast<int>(i), on);
        f.checked = on;  // unchecking its files has unchecked it again
    } else if (n.file < static_cast<int>(f.files.size())) {
        setFile(n.folder, n.file, on);
    }
}

void EodFileTree::toggle(Node n) {
    setChecked(n, !checked(n));
    anchor_ = n;
    lastDirection_ = 0;
}

std::vector<EodFileTree::Node> EodFileTree::walkOrder(bool files) const {
    std::vector<Node> order;
    for (std::size_t f = 0; f < folders_.size(); ++f) {
        if (!files) {
            order.push_back({static_cast<int>(f), -1});
            continue;
        }
        for (std::size_t i = 0; i < folders_[f].files.size(); ++i)
            order.push_back({static_cast<int>(f), static_cast<int>(i)});
    }
    return order;
}

void EodFileTree::shiftToggle(Node target) {
    if (anchor_.folder < 0 || anchor_.folder >= static_cast<int>(folders_.size())) {
        toggle(target);
        return;
    }
    // From a file the walk goes over files, from a folder over folders; a range from
    // a folder to a file of another folder walks every node in display order.
    std::vector<Node> order;
    if (anchor_.isFolder() == target.isFolder()) {
        order = walkOrder(!anchor_.isFolder());
    } else {
        for (std::size_t f = 0; f < folders_.size(); ++f) {
            order.push_back({static_cast<int>(f), -1});
            for (std::size_t i = 0; i < folders_[f].files.size(); ++i)
                order.push_back({static_cast<int>(f), static_cast<int>(i)});
        }
    }
    const auto from = std::find(order.begin(), order.end(), anchor_);
    const auto to = std::find(order.begin(), order.end(), target);
    if (from == order.end() || to == order.end() || from == to)
        return;
    const int direction = to > from ? 1 : -1;
    if (lastDirection_ != 0 && direction != lastDirection_)
        setChecked(anchor_, !checked(anchor_));
    for (auto it = from; it != to;) {
        it += direction;
        setChecked(*it, !checked(*it));
    }
    anchor_ = target;
    lastDirection_ = direction;
}

void EodFileTree::checkAll() {
    for (std::size_t f = 0; f < folders_.size(); ++f)
        setChecked({static_cast<int>(f), -1}, true);
}

void EodFileTree::uncheckAll() {
    for (std::size_t f = 0; f < folders_.size(); ++f)
        setChecked({static_cast<int>(f), -1}, false);
}

std::vector<std::string> EodFileTree::resultList() const {
    std::vector<std::string> list;
    for (const Folder& f : folders_) {
        for (const File& file : f.files) {
            if (file.checked)
                list.push_back(f.path + file.name);
        }
    }
    return list;
}

LocationKind initialLocationKind(const std::string& text, bool folderExists, bool windows) {
    if (text.empty())
        return LocationKind::None;
    if (folderExists)
        return LocationKind::Folder;
    if (text.size() > 3 && text.compare(0, 3, "::{") == 0 && text.back() == '}')
        return windows ? LocationKind::Namespace : LocationKind::None;
    if (text == "DESKTOP")
        return LocationKind::Desktop;
    if (text == "DRIVES")
        return LocationKind::Drives;
    if (text == "NETWORK")
        return LocationKind::Network;
    if (text == "NETHOOD")
        return LocationKind::NetHood;
    if (text == "PERSONAL")
        return LocationKind::Personal;
    return LocationKind::None;
}

std::string normalizeInitialLocation(std::string text) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (text.size() == 2 && text[1] == ':' && letter(text[0]))
        return text + "\\";
    // Both separators: a Windows folder may be typed here as well. The root "/" and a
    // drive's root "X:\" keep theirs.
    const auto separator = [](char c) { return c == '/' || c == '\\'; };
    if (text.size() > 1 && separator(text.back()) && text[text.size() - 2] != ':')
        text.pop_back();
    return text;
}

std::vector<EodSweep::Point> EodSweep::samples(Point a, Point b) {
    const int left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    const int top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
    std::vector<Point> points;
    for (int y = top;; y += kStepY) {
        const int yy = std::min(y, bottom);
        for (int x = left;; x += kStepX) {
            points.push_back({std::min(x, right), yy});
            if (x >= right)
                break;
        }
        if (y >= bottom)
            break;
    }
    return points;
}

int EodSweep::scrollDirection(int y, int height) {
    if (y > height - kBottomZone)
        return 1;
    if (y < kTopZone)
        return -1;
    return 0;
}

}  // namespace qv
