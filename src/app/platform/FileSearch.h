#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace qv::app {

// The recursive file search on a worker thread (the walk and its rules are the
// engine's searchFolderTree). Its three events arrive on the thread of the window
// that owns it, in the order they happened and in batches: many matches never queue
// up as many messages, and the window's thread spends at most a few milliseconds at
// a time handing them out. Paths are the file system's bytes (they need not be valid
// UTF-8); folders end with a separator.
class FileSearch : public QObject {
    Q_OBJECT
  public:
    explicit FileSearch(QObject* parent = nullptr);
    ~FileSearch() override;

    // Starts searching FOLDER for MASK; false (nothing started) while a search is busy.
    bool start(const std::string& folder, const std::string& mask);
    // From start() until `finished` has been delivered.
    bool busy() const { return busy_; }
    // Asks the walk to stop; `finished` follows with aborted set, and no match or
    // folder that was still on its way is handed out any more.
    void abort();
    // Waits, with the window's events handled, until the search is no longer busy.
    void waitUntilIdle();

    // How often the window's thread has handed out events since start() (each time
    // a batch or several of them).
    int deliveries() const { return deliveries_; }

    // The synchronous probe: whether FOLDER has subfolders.
    static bool hasSubfolders(const std::string& folder);

  signals:
    void folderChanged(const QByteArray& folder);
    void fileMatched(const QByteArray& folder, const QByteArray& name);
    void finished(bool aborted);

  private:
    class Queue;
    void deliver();
    void joinWorker();

    std::unique_ptr<Queue> queue_;
    // While events keep coming, the next look at the queue a short while after a
    // delivery, instead of a wake-up per folder.
    QTimer poll_;
    std::thread worker_;
    std::atomic<bool> abort_{false};
    bool busy_ = false;
    int deliveries_ = 0;
};

}  // namespace qv::app
