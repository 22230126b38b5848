#pragma once

#include <atomic>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The recursive search of a folder tree for files whose names match a mask, as the
// extended open dialog and dropped folders use it. The walk is depth first: a folder's
// own files, then its subfolders one after another (sorted by name, letter case
// ignored). Folders that cannot be read (permission denied, vanished meanwhile) are
// skipped; symbolic links to folders are followed, but no folder is entered twice, so
// a link back to an ancestor cannot make a loop. Only regular files (or links to them)
// are reported: a device or a pipe is never handed to a reader.

// A file-name mask: "*" any run of characters, "?" one character, compared without
// regard to the case of A-Z; several masks may be separated by ";". "*" and "*.*"
// match every name, as on Windows, where the search masks come from.
bool maskMatches(std::string_view mask, std::string_view name);

// One thing the search reports, in the order it happens.
struct SearchEvent {
    enum class Kind {
        FolderChange,  // entering `folder` (ends with a separator), before its files
        FileMatch,     // `name` in `folder` matched the mask
        Finished,      // the walk ended; `aborted` tells whether it was asked to stop
    };
    Kind kind = Kind::Finished;
    std::string folder;
    std::string name;
    bool aborted = false;
    friend bool operator==(const SearchEvent&, const SearchEvent&) = default;
};

// Receives the events of a walk on the thread that walks.
class SearchSink {
  public:
    virtual ~SearchSink() = default;
    virtual void searchEvent(SearchEvent event) = 0;
};

// Walks START (a folder) for MASK, reporting to SINK, until the walk ends or ABORT is
// set. The last event is always Finished, and nothing follows it. A START that is not
// a readable folder gives Finished at once.
void searchFolderTree(const std::string& start, const std::string& mask, SearchSink& sink,
                      const std::atomic<bool>& abort);

// The synchronous probe of the dialog: whether FOLDER has at least one subfolder
// (a link to a folder counts). False for anything that cannot be read.
bool hasSubfolders(const std::string& folder);

// The path with a trailing separator (unchanged when it has one already or is empty).
std::string withTrailingSeparator(std::string path);

// The hand-over of search events from the walking thread to the thread of the
// windows, in batches. The walker collects events and passes them on per folder or
// every `kBatch` events; the reader takes what has arrived whenever it is woken.
// At most one wake-up is outstanding (and one more for the end of the walk), so a
// hundred thousand matches never turn into a hundred thousand queued messages.
class SearchEventQueue : public SearchSink {
  public:
    static constexpr std::size_t kBatch = 256;

    // SearchSink, on the walking thread.
    void searchEvent(SearchEvent event) override;

    // On the reading thread: up to MAX events in the order they happened. When
    // MORE is given it tells whether events are left (the reader then carries on
    // without a new wake-up).
    std::vector<SearchEvent> take(std::size_t max, bool* more = nullptr);

    // On the reading thread, for a reader that comes back by itself a short while
    // after it has taken something (a timer): as take(), but a drained queue does not
    // ask the walker for a wake-up; only a poll that finds nothing does. A busy walk
    // then costs a few polls instead of one wake-up per folder. The end of the walk
    // (Finished) always wakes the reader at once, even with a poll to come, so the
    // reader must cope with a wake-up that finds the queue empty.
    std::vector<SearchEvent> poll(std::size_t max, bool* more = nullptr);

    // How many wake-ups were asked for (for tests and the curious).
    std::size_t wakeUps() const;

  protected:
    // The reader must be woken (the queue had nothing outstanding and now holds
    // events); called on the walking thread without the lock held. The reader then
    // calls take().
    virtual void wake() {}

  private:
    void flush();
    std::vector<SearchEvent> takeSome(std::size_t max, bool* more, bool polling);

    mutable std::mutex mutex_;
    std::vector<SearchEvent> pending_;  // the walker's batch, not yet handed over
    std::deque<SearchEvent> ready_;     // handed over, not yet taken
    bool wakeOutstanding_ = false;
    std::size_t wakeUps_ = 0;
};

}  // namespace qv
