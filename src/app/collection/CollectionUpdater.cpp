#include "collection/CollectionUpdater.h"

#include <QMetaObject>
#include <algorithm>
#include <string>
#include <vector>

#include "collection/CollectionIndex.h"
#include "host/RunHost.h"
#include "platform/QtText.h"

namespace qv::app {
namespace {

// The run's progress as signals of the updater, sent from the worker thread.
class SignalHost : public RunHost {
  public:
    SignalHost(CollectionUpdater& updater, int batch) : updater_(updater), batch_(batch) {}
    void runStarted(int images) override {
        images_ = images;
        QMetaObject::invokeMethod(
            &updater_, [u = &updater_, images] { emit u->started(images); }, Qt::QueuedConnection);
    }
    void setProgress(int done) override {
        if (done % batch_ != 0 && done != images_)
            return;
        QMetaObject::invokeMethod(
            &updater_, [u = &updater_, done, n = images_] { emit u->progressed(done, n); },
            Qt::QueuedConnection);
    }

  private:
    CollectionUpdater& updater_;
    int batch_;
    int images_ = 0;
};

}  // namespace

CollectionUpdater::CollectionUpdater(QObject* parent) : QObject(parent) {}

CollectionUpdater::~CollectionUpdater() {
    abort();
    wait();
}

bool CollectionUpdater::start(const QString& database, const QStringList& folders) {
    if (running_)
        return false;
    wait();  // the thread of the last run has ended; it is joined here
    running_ = true;
    abort_ = false;
    std::vector<std::string> roots;
    for (const QString& f : folders)
        roots.push_back(ss(f));
    const int batch = std::max(1, batchSize_);
    const int jobs = std::max(1, jobs_);
    worker_ = std::thread([this, file = ss(database), roots, batch, jobs] {
        UpdateCounts counts;
        std::string error;
        QStringList failures;
        if (auto index = CollectionIndex::open(file, CollectionIndex::Access::Update, error)) {
            SignalHost host(*this, batch);
            UpdateOptions options;
            options.jobs = jobs;
            options.batchSize = batch;
            options.host = &host;
            options.abort = &abort_;
            options.failure = [&failures](const std::string& path, const std::string& reason) {
                failures << qs(path + ": " + reason);
            };
            error.clear();
            if (!updateIndex(*index, roots, options, counts, error) && error.empty())
                error = file + ": the index could not be written";
        }
        // Everything the worker touched is closed before the window hears of the end.
        QMetaObject::invokeMethod(
            this, [this, counts, e = qs(error), failures] { onFinished(counts, e, failures); },
            Qt::QueuedConnection);
    });
    return true;
}

void CollectionUpdater::onFinished(const UpdateCounts& counts, const QString& error,
                                   const QStringList& failures) {
    wait();
    running_ = false;
    emit finished(counts, error, failures);
}

void CollectionUpdater::abort() {
    abort_ = true;
}

void CollectionUpdater::wait() {
    if (worker_.joinable())
        worker_.join();
}

}  // namespace qv::app
