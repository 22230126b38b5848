#pragma once

#include <QDockWidget>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace qv {
class BlockMap;
}

namespace qv::app {

// The "BAMFileList" tool window of the block map: the disk header, the multi-select
// list of the directory's files, "Show Chain" and the free blocks.
class BamFileList : public QDockWidget {
    Q_OBJECT
  public:
    explicit BamFileList(QWidget* parent = nullptr);

    // The map's header, file lines and free blocks; an empty map empties the list.
    void fill(const BlockMap& map);
    void setListFont(const QFont& font);
    // Selects exactly these rows (the owners of a block), keeping the first visible.
    void selectRows(const std::vector<int>& rows);
    std::vector<int> selectedRows() const;
    int firstSelectedRow() const;

    QLineEdit* header() const { return header_; }
    QListWidget* list() const { return list_; }
    QCheckBox* showChain() const { return showChain_; }
    QLabel* blocksFree() const { return blocksFree_; }

  signals:
    void rowClicked(int row);
    void rowRightClicked(int row);
    void keyReleased(int key);
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QLineEdit* header_ = nullptr;
    QListWidget* list_ = nullptr;
    QCheckBox* showChain_ = nullptr;
    QLabel* blocksFree_ = nullptr;
};

}  // namespace qv::app
