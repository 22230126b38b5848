#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

namespace qv::app {

class FileSearch;

// The files of dropped folders and of folders named on the command line, found by the
// folder search on its worker thread while the window keeps handling its input: every
// file in the folder and in all its subfolders (no mask).
class FolderCollector : public QObject {
    Q_OBJECT
  public:
    explicit FolderCollector(QObject* parent = nullptr);

    struct Result {
        std::vector<std::string> files;
        // Names that are neither a file nor a folder.
        std::vector<std::string> missing;
        bool aborted = false;
    };
    // ITEMS in turn: a file is taken as it is, a folder gives its files (each folder's
    // sorted alphabetically, letter case ignored), anything else goes to `missing`.
    // With SORT_ALL the whole list is sorted that way, as a drop lists it. Returns
    // when every folder has been searched or abort() was called.
    Result collect(const std::vector<std::string>& items, bool sortAll);

    bool busy() const { return busy_; }
    void abort();

  signals:
    // While a folder is searched: how many files were found so far, and in which
    // folder the search is (the file system's bytes).
    void progress(int filesFound, const QByteArray& folder);

  private:
    FileSearch* search_;
    bool busy_ = false;
    bool aborted_ = false;
};

}  // namespace qv::app
