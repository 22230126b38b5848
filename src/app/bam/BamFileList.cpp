#include "bam/BamFileList.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "bam/BlockMap.h"
#include "support/CodePage.h"

namespace qv::app {
namespace {

QString fromCp437(const std::string& text) {
    return QString::fromStdString(cp437ToUtf8(text));
}

}  // namespace

BamFileList::BamFileList(QWidget* parent) : QDockWidget(QStringLiteral("BAMFileList"), parent) {
    setObjectName(QStringLiteral("BAMFileList"));
    setAllowedAreas(Qt::RightDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(this);
    auto* box = new QVBoxLayout(body);
    box->setContentsMargins(2, 2, 2, 2);
    box->setSpacing(2);
    header_ = new QLineEdit(body);
    header_->setReadOnly(true);
    header_->setAccessibleName(QStringLiteral("Disk header"));
    list_ = new QListWidget(body);
    list_->setObjectName(QStringLiteral("bamFiles"));
    list_->setAccessibleName(QStringLiteral("BAMFileList"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setUniformItemSizes(true);
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    auto* bottom = new QHBoxLayout;
    showChain_ = new QCheckBox(QStringLiteral("Show &Chain"), body);
    showChain_->setAccessibleName(QStringLiteral("Show Chain"));
    blocksFree_ = new QLabel(body);
    blocksFree_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    blocksFree_->setToolTip(
        QStringLiteral("Blocks free according to the BAM...a wrong value is shown, if 40 Tracks "
                       "are enabled and the wrong type is selected"));
    blocksFree_->setAccessibleName(QStringLiteral("Blocks free"));
    bottom->addWidget(showChain_);
    bottom->addStretch(1);
    bottom->addWidget(blocksFree_);
    box->addWidget(header_);
    box->addWidget(list_, 1);
    box->addLayout(bottom);
    setWidget(body);
}

void BamFileList::fill(const BlockMap& map) {
    header_->setText(fromCp437(map.diskHeader()));
    list_->clear();
    for (const std::string& line : map.fileLines())
        list_->addItem(fromCp437(line));
    blocksFree_->setText(map.imagePath().empty()
                             ? QString()
                             : QString::number(map.blocksFree()) + QStringLiteral(" Blocks free"));
}

void BamFileList::setListFont(const QFont& font) {
    header_->setFont(font);
    list_->setFont(font);
}

void BamFileList::selectRows(const std::vector<int>& rows) {
    list_->clearSelection();
    for (const int row : rows) {
        if (QListWidgetItem* item = list_->item(row))
            item->setSelected(true);
    }
    if (!rows.empty() && list_->item(rows.front()))
        list_->scrollToItem(list_->item(rows.front()));
}

std::vector<int> BamFileList::selectedRows() const {
    std::vector<int> rows;
    for (int i = 0; i < list_->count(); ++i) {
        if (list_->item(i)->isSelected())
            rows.push_back(i);
    }
    return rows;
}

int BamFileList::firstSelectedRow() const {
    const std::vector<int> rows = selectedRows();
    return rows.empty() ? -1 : rows.front();
}

bool BamFileList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        const int row = list_->row(list_->itemAt(me->position().toPoint()));
        if (row >= 0 && me->button() == Qt::RightButton) {
            list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            emit rowRightClicked(row);
        } else if (row >= 0 && me->button() == Qt::LeftButton) {
            emit rowClicked(row);
        }
    } else if (watched == list_ && event->type() == QEvent::KeyRelease) {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (!ke->isAutoRepeat())
            emit keyReleased(ke->key());
    }
    return QDockWidget::eventFilter(watched, event);
}

void BamFileList::closeEvent(QCloseEvent* event) {
    QDockWidget::closeEvent(event);
    emit closed();
}

}  // namespace qv::app
