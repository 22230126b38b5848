#include "platform/FileSearch.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>

#include "support/FolderSearch.h"

namespace qv::app {

namespace {

// How many events the window's thread takes at a time, and how long it hands them
// out before it lets other input in.
constexpr std::size_t kTakeAtOnce = 1000;
constexpr qint64 kDeliverMilliseconds = 15;
// How soon the window's thread looks again after it has handed out events: a walk
// that enters folders quickly is collected a few times a second, not once per folder.
constexpr int kPollMilliseconds = 10;

}  // namespace

// The engine's hand-over queue, waking the window's thread with one queued call.
class FileSearch::Queue : public SearchEventQueue {
  public:
    explicit Queue(FileSearch* owner) : owner_(owner) {}

  protected:
    void wake() override {
        QMetaObject::invokeMethod(owner_, &FileSearch::deliver, Qt::QueuedConnection);
    }

  private:
    FileSearch* owner_;
};

FileSearch::FileSearch(QObject* parent) : QObject(parent) {
    poll_.setSingleShot(true);
    poll_.setInterval(kPollMilliseconds);
    connect(&poll_, &QTimer::timeout, this, &FileSearch::deliver);
}

FileSearch::~FileSearch() {
    abort_ = true;
    joinWorker();
}

void FileSearch::joinWorker() {
    if (worker_.joinable())
        worker_.join();
}

bool FileSearch::start(const std::string& folder, const std::string& mask) {
    if (busy_)
        return false;
    joinWorker();
    abort_ = false;
    busy_ = true;
    deliveries_ = 0;
    poll_.stop();
    // A fresh queue per search: nothing of an earlier one can slip in.
    queue_ = std::make_unique<Queue>(this);
    Queue* queue = queue_.get();
    worker_ = std::thread(
        [queue, folder, mask, this] { searchFolderTree(folder, mask, *queue, abort_); });
    return true;
}

void FileSearch::abort() {
    if (busy_)
        abort_ = true;
}

void FileSearch::deliver() {
    if (!queue_ || !busy_)
        return;
    QPointer<FileSearch> self(this);
    QElapsedTimer clock;
    clock.start();
    bool more = true;
    bool first = true;
    while (more) {
        const std::vector<SearchEvent> events = queue_->poll(kTakeAtOnce, &more);
        if (first) {
            // A poll (or a wake-up after a poll) that finds nothing: the next events
            // wake this thread again.
            if (events.empty())
                return;
            ++deliveries_;
            first = false;
        }
        for (const SearchEvent& e : events) {
            // After abort() the window sees nothing but the end.
            if (abort_.load() && e.kind != SearchEvent::Kind::Finished)
                continue;
            switch (e.kind) {
                case SearchEvent::Kind::FolderChange:
                    emit folderChanged(QByteArray::fromStdString(e.folder));
                    break;
                case SearchEvent::Kind::FileMatch:
                    emit fileMatched(QByteArray::fromStdString(e.folder),
                                     QByteArray::fromStdString(e.name));
                    break;
                case SearchEvent::Kind::Finished:
                    // The walk has returned, or is about to: nothing follows this event.
                    joinWorker();
                    busy_ = false;
                    poll_.stop();
                    emit finished(e.aborted || abort_.load());
                    return;
            }
            if (!self)
                return;
        }
        if (more && clock.elapsed() >= kDeliverMilliseconds) {
            // The rest after the window's other input; no new wake-up comes for it.
            QMetaObject::invokeMethod(this, &FileSearch::deliver, Qt::QueuedConnection);
            return;
        }
    }
    // Drained: look again shortly, the walker does not wake this thread meanwhile.
    poll_.start();
}

void FileSearch::waitUntilIdle() {
    if (!busy_)
        return;
    QEventLoop loop;
    connect(this, &FileSearch::finished, &loop, &QEventLoop::quit);
    if (busy_)
        loop.exec();
}

bool FileSearch::hasSubfolders(const std::string& folder) {
    return qv::hasSubfolders(folder);
}

}  // namespace qv::app
