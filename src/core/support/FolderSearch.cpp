#include "support/FolderSearch.h"

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_set>
#include <utility>

namespace qv {

namespace fs = std::filesystem;

namespace {

unsigned char lowerAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// One mask without ";": "*" and "?" over bytes, A-Z folded. Iterative, with the
// usual back-tracking to the last "*", so no name makes it slow.
bool matchOne(std::string_view mask, std::string_view name) {
    if (mask == "*" || mask == "*.*")
        return true;
    std::size_t m = 0, n = 0;
    std::size_t starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (m < mask.size() &&
                   (mask[m] == '?' || lowerAscii(static_cast<unsigned char>(mask[m])) ==
                                          lowerAscii(static_cast<unsigned char>(name[n])))) {
            ++m;
            ++n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

bool lessNoCase(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = lowerAscii(static_cast<unsigned char>(a[i]));
        const unsigned char y = lowerAscii(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

// A folder waiting to be walked: its path as reported and its real location, which
// tells whether it was entered already; both end with a separator.
struct PendingFolder {
    std::string path;
    std::string real;
};

// What one folder holds, as far as the walk cares.
struct FolderEntries {
    std::vector<std::string> files;                        // regular files matching the mask
    std::vector<std::pair<std::string, bool>> subfolders;  // name, reached by a link
};

// Reads the entries of FOLDER (ending with a separator) into OUT; a folder that
// cannot be read gives nothing. The entry's type comes from the folder listing, so a
// large folder costs no look-up per file; only a link (or an entry of unknown type)
// is looked up, following the link: a dangling one is neither a file nor a folder.
void readFolder(const std::string& folder, std::string_view mask, FolderEntries& out,
                const std::atomic<bool>& abort) {
#ifdef _WIN32
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (abort.load(std::memory_order_relaxed))
            break;
        std::error_code entryEc;
        const bool link = it->is_symlink(entryEc);
        const bool folderEntry = it->is_directory(entryEc);
        const bool fileEntry = !entryEc && !folderEntry && it->is_regular_file(entryEc);
        if (entryEc)
            continue;
        std::string name = it->path().filename().string();
        if (folderEntry)
            out.subfolders.emplace_back(std::move(name), link);
        else if (fileEntry && maskMatches(mask, name))
            out.files.push_back(std::move(name));
    }
#else
    // Plain readdir: the names as bytes, with no path object per entry.
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (abort.load(std::memory_order_relaxed))
            break;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        bool link = entry->d_type == DT_LNK;
        bool folderEntry = entry->d_type == DT_DIR;
        bool fileEntry = entry->d_type == DT_REG;
        if (link || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            if (!link) {
                if (::fstatat(::dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                link = S_ISLNK(st.st_mode);
            }
            if (link && ::fstatat(::dirfd(dir), name, &st, 0) != 0)
                continue;
            folderEntry = S_ISDIR(st.st_mode);
            fileEntry = S_ISREG(st.st_mode);
        }
        if (folderEntry)
            out.subfolders.emplace_back(name, link);
        else if (fileEntry && maskMatches(mask, name))
            out.files.emplace_back(name);
    }
    ::closedir(dir);
#endif
}

}  // namespace

bool maskMatches(std::string_view mask, std::string_view name) {
    bool any = false;
    while (true) {
        const std::size_t semi = mask.find(';');
        std::string_view one = mask.substr(0, semi);
        while (!one.empty() && one.front() == ' ')
            one.remove_prefix(1);
        while (!one.empty() && one.back() == ' ')
            one.remove_suffix(1);
        if (!one.empty()) {
            any = true;
            if (matchOne(one, name))
                return true;
        }
        if (semi == std::string_view::npos)
            break;
        mask.remove_prefix(semi + 1);
    }
    // An empty mask stands for every name.
    return !any;
}

std::string withTrailingSeparator(std::string path) {
    if (!path.empty() && path.back() != '/' &&
        path.back() != static_cast<char>(fs::path::preferred_separator))
        path += static_cast<char>(fs::path::preferred_separator);
    return path;
}

void searchFolderTree(const std::string& start, const std::string& mask, SearchSink& sink,
                      const std::atomic<bool>& abort) {
    std::error_code ec;
    std::vector<PendingFolder> stack;
    // The real locations entered, as text: a hash look-up instead of comparing paths
    // element by element.
    std::unordered_set<std::string> entered;
    if (!start.empty() && fs::is_directory(start, ec)) {
        fs::path real = fs::canonical(start, ec);
        if (ec)
            real = fs::absolute(start, ec);
        stack.push_back({withTrailingSeparator(start), withTrailingSeparator(real.string())});
    }
    FolderEntries entries;
    while (!stack.empty() && !abort.load(std::memory_order_relaxed)) {
        PendingFolder folder = std::move(stack.back());
        stack.pop_back();
        if (!entered.insert(folder.real).second)
            continue;  // reached again through a link
        sink.searchEvent({SearchEvent::Kind::FolderChange, folder.path, {}, false});

        entries.files.clear();
        entries.subfolders.clear();
        readFolder(folder.path, mask, entries, abort);
        std::sort(entries.files.begin(), entries.files.end(), lessNoCase);
        for (std::string& name : entries.files) {
            if (abort.load(std::memory_order_relaxed))
                break;
            sink.searchEvent({SearchEvent::Kind::FileMatch, folder.path, std::move(name), false});
        }
        std::sort(entries.subfolders.begin(), entries.subfolders.end(),
                  [](const auto& a, const auto& b) { return lessNoCase(a.first, b.first); });
        // Pushed in reverse, so that the first subfolder is walked next.
        for (auto s = entries.subfolders.rbegin(); s != entries.subfolders.rend(); ++s) {
            PendingFolder sub{withTrailingSeparator(folder.path + s->first),
                              withTrailingSeparator(folder.real + s->first)};
            if (s->second) {
                std::error_code linkEc;
                const fs::path real = fs::canonical(fs::path(sub.path), linkEc);
                if (linkEc)
                    continue;
                sub.real = withTrailingSeparator(real.string());
            }
            if (!entered.count(sub.real))
                stack.push_back(std::move(sub));
        }
    }
    sink.searchEvent({SearchEvent::Kind::Finished, {}, {}, abort.load()});
}

bool hasSubfolders(const std::string& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code entryEc;
        if (it->is_directory(entryEc))
            return true;
    }
    return false;
}

// --- SearchEventQueue -----------------------------------------------------------

void SearchEventQueue::searchEvent(SearchEvent event) {
    const SearchEvent::Kind kind = event.kind;
    pending_.push_back(std::move(event));
    // A folder's files go over together; the walker may wait a while on the next
    // folder, so what it has is handed over on entering one.
    if (kind != SearchEvent::Kind::FileMatch || pending_.size() >= kBatch)
        flush();
}

void SearchEventQueue::flush() {
    bool wakeNow = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (SearchEvent& e : pending_)
            ready_.push_back(std::move(e));
        // The last event wakes the reader even when a wake-up or a poll is to come:
        // the end of a search is not left waiting for a timer.
        const bool last = !ready_.empty() && ready_.back().kind == SearchEvent::Kind::Finished;
        if ((!wakeOutstanding_ || last) && !ready_.empty()) {
            wakeOutstanding_ = true;
            wakeNow = true;
            ++wakeUps_;
        }
    }
    pending_.clear();
    if (wakeNow)
        wake();
}

std::vector<SearchEvent> SearchEventQueue::take(std::size_t max, bool* more) {
    return takeSome(max, more, false);
}

std::vector<SearchEvent> SearchEventQueue::poll(std::size_t max, bool* more) {
    return takeSome(max, more, true);
}

std::vector<SearchEvent> SearchEventQueue::takeSome(std::size_t max, bool* more, bool polling) {
    std::vector<SearchEvent> out;
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t n = std::min(max, ready_.size());
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(std::move(ready_.front()));
        ready_.pop_front();
    }
    // With nothing left, the next hand-over wakes the reader again, unless the reader
    // polls and has just found something, so that it comes back by itself; with
    // events left the reader carries on by itself.
    if (ready_.empty() && (!polling || n == 0))
        wakeOutstanding_ = false;
    if (more)
        *more = !ready_.empty();
    return out;
}

std::size_t SearchEventQueue::wakeUps() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return wakeUps_;
}

}  // namespace qv
