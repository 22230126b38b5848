#include "collection/IndexUpdate.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_set>

#include "collection/CollectionIndex.h"
#include "host/RunHost.h"
#include "listing/FileList.h"
#include "support/Files.h"
#include "support/Text.h"

namespace qv {
namespace {

std::string normalPath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    if (ec)
        p = path;
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

bool under(const std::string& path, const std::vector<std::string>& roots) {
    return std::any_of(roots.begin(), roots.end(), [&](const std::string& r) {
        return path == r || (path.size() > r.size() && path.compare(0, r.size(), r) == 0 &&
                             (r.back() == '/' || path[r.size()] == '/'));
    });
}

struct Job {
    std::string path;
    FileStamp stamp;
    bool known = false;
};

// Images read by the workers, handed to the writer in any order; bounded so that
// fast readers do not pile up results in memory. The writer gives each result back
// once it is stored, and the workers free them: the writer is the one thread all
// others wait for, so it spends no time on the thousands of texts of a result.
class ResultQueue {
  public:
    explicit ResultQueue(std::size_t limit) : limit_(limit) {}

    // spent: an empty list of the caller's; it returns with the results given back
    // since, for the caller to free outside the lock.
    bool push(std::size_t job, ScanResult result, std::vector<ScanResult>& spent) {
        std::unique_lock lock(mutex_);
        notFull_.wait(lock, [&] { return closed_ || items_.size() < limit_; });
        if (closed_)
            return false;
        items_.emplace_back(job, std::move(result));
        spent.swap(spent_);
        notEmpty_.notify_one();
        return true;
    }
    void giveBack(ScanResult result) {
        std::lock_guard lock(mutex_);
        spent_.push_back(std::move(result));
    }
    std::optional<std::pair<std::size_t, ScanResult>> pop() {
        std::unique_lock lock(mutex_);
        notEmpty_.wait(lock, [&] { return closed_ || !items_.empty(); });
        if (items_.empty())
            return std::nullopt;
        auto item = std::move(items_.front());
        items_.pop_front();
        // Readers waiting for room are woken together once half of it is free, not one
        // at a time for every image taken.
        if (items_.size() == limit_ / 2)
            notFull_.notify_all();
        return item;
    }
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        notFull_.notify_all();
        notEmpty_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable notFull_, notEmpty_;
    std::deque<std::pair<std::size_t, ScanResult>> items_;
    std::vector<ScanResult> spent_;
    std::size_t limit_;
    bool closed_ = false;
};

}  // namespace

std::string updateSummary(const UpdateCounts& c) {
    std::string s = std::to_string(c.seen) + " images: " + std::to_string(c.read) + " read (";
    s += std::to_string(c.added) + " new), " + std::to_string(c.unchanged) + " unchanged, ";
    s += std::to_string(c.removed) + " removed, " + std::to_string(c.failed) + " not read";
    if (c.aborted)
        s += "; interrupted, run again to complete";
    return s;
}

std::vector<std::string> collectionFiles(const std::vector<std::string>& roots,
                                         std::vector<std::string>* missing) {
    std::vector<std::string> files;
    for (const std::string& root : roots) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(root, ec)) {
            files.push_back(normalPath(root));
            continue;
        }
        std::vector<std::string> found = collectFiles({normalPath(root)}, missing);
        for (std::string& f : found) {
            const std::string name = fileNamePart(f);
            if (name.size() > 4 && upperAscii(name.substr(name.size() - 4)) == ".D64")
                files.push_back(std::move(f));
        }
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

bool updateIndex(CollectionIndex& index, const std::vector<std::string>& rootArgs,
                 const UpdateOptions& options, UpdateCounts& counts, std::string& error) {
    counts = {};
    std::vector<std::string> roots;
    for (const std::string& r : rootArgs)
        roots.push_back(normalPath(r));
    const std::vector<std::string> files = collectionFiles(roots);
    const auto known = index.knownImages();

    std::vector<Job> jobs;
    std::unordered_set<std::string> present;
    for (const std::string& f : files) {
        const std::optional<FileStamp> stamp = stampOf(f);
        if (!stamp)
            continue;
        ++counts.seen;
        present.insert(f);
        const auto it = known.find(f);
        if (it != known.end() && it->second.stamp == *stamp)
            ++counts.unchanged;
        else
            jobs.push_back({f, *stamp, it != known.end()});
    }
    std::vector<std::int64_t> vanished;
    for (const auto& [path, image] : known) {
        if (!present.count(path) && under(path, roots))
            vanished.push_back(image.id);
    }

    const auto scan = options.scan ? options.scan : scanImage;
    const auto aborted = [&] { return options.abort && options.abort->load(); };
    if (options.host)
        options.host->runStarted(static_cast<int>(jobs.size()));

    const int threads = std::clamp(options.jobs, 1, 64);
    ResultQueue queue(static_cast<std::size_t>(16 * threads));
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> workers;
    if (threads > 1) {
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                std::vector<ScanResult> spent;
                for (std::size_t j; (j = next.fetch_add(1)) < jobs.size() && !aborted();) {
                    if (!queue.push(j, scan(jobs[j].path, jobs[j].stamp), spent))
                        return;
                    spent.clear();  // keeps its room for the next exchange
                }
            });
        }
    }
    const auto take = [&]() -> std::optional<std::pair<std::size_t, ScanResult>> {
        if (threads > 1)
            return queue.pop();
        const std::size_t j = next.fetch_add(1);
        if (j >= jobs.size())
            return std::nullopt;
        return std::pair{j, scan(jobs[j].path, jobs[j].stamp)};
    };

    bool ok = true;
    bool open = false;
    int inBatch = 0;
    std::size_t done = 0;
    const auto finish = [&] {
        queue.close();
        for (std::thread& w : workers)
            w.join();
        if (options.host)
            options.host->runFinished();
    };
    while (done < jobs.size()) {
        if (aborted()) {
            counts.aborted = true;
            break;
        }
        if (!open && !(open = index.begin(error))) {
            ok = false;
            break;
        }
        std::optional<std::pair<std::size_t, ScanResult>> item = take();
        if (!item)
            break;
        ++done;
        const Job& job = jobs[item->first];
        if (item->second.image) {
            if (!index.store(*item->second.image, error)) {
                error = job.path + ": " + error;
                ok = false;
                break;
            }
            ++counts.read;
            if (!job.known)
                ++counts.added;
        } else {
            ++counts.failed;
            if (options.failure)
                options.failure(job.path, item->second.error);
        }
        if (threads > 1)
            queue.giveBack(std::move(item->second));
        if (options.host)
            options.host->setProgress(static_cast<int>(done));
        if (++inBatch >= std::max(1, options.batchSize)) {
            inBatch = 0;
            open = false;
            if (!index.commit(error)) {
                ok = false;
                break;
            }
        }
    }
    if (ok && !counts.aborted && done == jobs.size()) {
        if (!open && !(open = index.begin(error)))
            ok = false;
        for (std::size_t i = 0; ok && i < vanished.size(); ++i) {
            if (!index.remove(vanished[i], error))
                ok = false;
        }
        if (ok)
            counts.removed = static_cast<int>(vanished.size());
    }
    if (open) {
        if (ok) {
            ok = index.commit(error);
        } else {
            index.rollback();
        }
    }
    finish();
    if (!ok)
        counts.removed = 0;
    return ok;
}

}  // namespace qv
