#include "platform/FolderCollector.h"

#include <QElapsedTimer>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "listing/FileList.h"
#include "platform/FileSearch.h"

namespace qv::app {

FolderCollector::FolderCollector(QObject* parent)
    : QObject(parent), search_(new FileSearch(this)) {}

void FolderCollector::abort() {
    aborted_ = true;
    search_->abort();
}

FolderCollector::Result FolderCollector::collect(const std::vector<std::string>& items,
                                                 bool sortAll) {
    namespace fs = std::filesystem;
    Result r;
    if (busy_)
        return r;
    busy_ = true;
    aborted_ = false;
    std::vector<std::string> found;
    QElapsedTimer shown;
    const auto onMatch = [&](const QByteArray& folder, const QByteArray& name) {
        found.push_back(folder.toStdString() + name.toStdString());
        // The window hears of it a few times a second, not per file.
        if (!shown.isValid() || shown.elapsed() >= 100) {
            emit progress(static_cast<int>(r.files.size() + found.size()), folder);
            shown.start();
        }
    };
    const QMetaObject::Connection c = connect(search_, &FileSearch::fileMatched, this, onMatch);
    for (const std::string& item : items) {
        if (aborted_)
            break;
        std::error_code ec;
        const fs::file_status st = fs::status(item, ec);
        if (!ec && fs::is_directory(st)) {
            found.clear();
            if (search_->start(item, "*"))
                search_->waitUntilIdle();
            std::sort(found.begin(), found.end(), lessNoCase);
            r.files.insert(r.files.end(), found.begin(), found.end());
        } else if (!ec && fs::exists(st)) {
            r.files.push_back(item);
        } else {
            r.missing.push_back(item);
        }
    }
    disconnect(c);
    if (sortAll)
        std::sort(r.files.begin(), r.files.end(), lessNoCase);
    r.aborted = aborted_;
    busy_ = false;
    return r;
}

}  // namespace qv::app
