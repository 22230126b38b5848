#include "platform/TfEODFileList.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/EodTreeModel.h"
#include "platform/EodTreeView.h"

namespace qv::app {

TfEODFileList::TfEODFileList(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TfEODFileList"));
    setAccessibleName(QStringLiteral("Files found"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar_ = new QToolBar(this);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolBar_->setIconSize(QSize(16, 16));
    // Each button also answers Alt with its underlined letter.
    const auto add = [this](const QString& text, void (TfEODFileList::*slot)()) {
        QAction* a = toolBar_->addAction(text);
        const int amp = static_cast<int>(text.indexOf(QLatin1Char('&')));
        a->setShortcut(QKeySequence(QStringLiteral("Alt+") + text.at(amp + 1).toUpper()));
        a->setShortcutContext(Qt::WindowShortcut);
        a->setToolTip(QString(text).remove(QLatin1Char('&')) + QStringLiteral(" (") +
                      a->shortcut().toString(QKeySequence::NativeText) + QLatin1Char(')'));
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        return a;
    };
    collapse_ = add(QStringLiteral("C&ollapse"), &TfEODFileList::collapseAll);
    expand_ = add(QStringLiteral("E&xpand"), &TfEODFileList::expandAll);
    checkAll_ = add(QStringLiteral("Chk&All"), &TfEODFileList::checkAll);
    uncheckAll_ = add(QStringLiteral("&UnChkAll"), &TfEODFileList::uncheckAll);
    abort_ = add(QStringLiteral("Abor&t"), nullptr);
    connect(abort_, &QAction::triggered, this, &TfEODFileList::abortRequested);
    abort_->setEnabled(false);

    // The drop-down of ChkAll and UnChkAll; both stay enabled, so "Default Check All"
    // can be set before the first search.
    auto* menu = new QMenu(this);
    defaultCheckAll_ = menu->addAction(QStringLiteral("&Default Check All"));
    defaultCheckAll_->setCheckable(true);
    for (QAction* a : {checkAll_, uncheckAll_}) {
        a->setMenu(menu);
        if (auto* b = qobject_cast<QToolButton*>(toolBar_->widgetForAction(a)))
            b->setPopupMode(QToolButton::MenuButtonPopup);
    }
    layout->addWidget(toolBar_);

    model_ = new EodTreeModel(this);
    view_ = new EodTreeView(this);
    view_->setTreeModel(model_);
    view_->setAccessibleName(QStringLiteral("Files found"));
    layout->addWidget(view_, 1);
}

bool TfEODFileList::defaultCheckAll() const {
    return defaultCheckAll_->isChecked();
}

void TfEODFileList::collapseAll() {
    view_->collapseAll();
    view_->scrollToTop();
}

void TfEODFileList::expandAll() {
    view_->expandAll();
    view_->scrollToTop();
}

void TfEODFileList::checkAll() {
    if (!model_->tree().empty())
        model_->checkAll();
}

void TfEODFileList::uncheckAll() {
    if (model_->tree().selectedCount() > 0)
        model_->uncheckAll();
}

void TfEODFileList::setSearching(bool on) {
    abort_->setEnabled(on);
}

}  // namespace qv::app
