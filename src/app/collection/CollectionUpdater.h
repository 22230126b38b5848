#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <thread>

#include "collection/IndexUpdate.h"

namespace qv::app {

// Runs an index update on a worker thread: the worker opens the index itself, reads
// and writes it, and reports through signals, which reach the window's thread queued.
// Progress is reported once per batch of images (and at the end), so the window is
// not flooded. abort() stops the run after the image being written; every committed
// batch stays, and the index is consistent whenever the run stops.
class CollectionUpdater : public QObject {
    Q_OBJECT
  public:
    explicit CollectionUpdater(QObject* parent = nullptr);
    ~CollectionUpdater() override;

    // Images per transaction (and per progress report); reading threads.
    void setBatchSize(int images) { batchSize_ = images; }
    void setJobs(int threads) { jobs_ = threads; }

    // False when a run is going on already.
    bool start(const QString& database, const QStringList& folders);
    void abort();
    bool running() const { return running_; }
    // Waits for the worker to end (the window's end).
    void wait();

  signals:
    // The images to read (new or changed); once, before the first progress.
    void started(int images);
    void progressed(int done, int images);
    // ERROR is empty when the index could be written; counts.aborted after abort().
    // FAILURES: each image that could not be read, "path: reason".
    void finished(const qv::UpdateCounts& counts, const QString& error,
                  const QStringList& failures);

  private:
    void onFinished(const qv::UpdateCounts& counts, const QString& error,
                    const QStringList& failures);

    std::thread worker_;
    std::atomic<bool> abort_{false};
    bool running_ = false;
    int batchSize_ = 500;
    int jobs_ = 2;
};

}  // namespace qv::app
