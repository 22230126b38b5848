#include "platform/TfSelectFolder.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/Dialogs.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"

namespace qv::app {

TfSelectFolder::TfSelectFolder(FileChooser& chooser, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), chooser_(chooser), dialogs_(dialogs) {
    setObjectName(QStringLiteral("TfSelectFolder"));
    setWindowTitle(QStringLiteral("Select Folder..."));
    auto* layout = new QVBoxLayout(this);
    auto* label =
        new QLabel(QStringLiteral("&Destinationfolder (will be created if not exists):"), this);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    combo_ = new QComboBox(this);
    label->setBuddy(combo_);
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setToolTip(QStringLiteral("Enter or choose a directory"));
    combo_->setMinimumWidth(360);
    row->addWidget(combo_, 1);
    auto* browseButton = new QPushButton(QStringLiteral("&Browse..."), this);
    connect(browseButton, &QPushButton::clicked, this, &TfSelectFolder::browse);
    row->addWidget(browseButton);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TfSelectFolder::browse() {
    // The browser starts at the combo box's folder when that exists.
    const QString text = combo_->currentText();
    const QString start = !text.isEmpty() && QFileInfo(text).isDir() ? text : QString();
    const QString chosen = chooser_.chooseFolder(this, QStringLiteral("Select Folder..."), start);
    if (!chosen.isEmpty())
        combo_->setEditText(chosen);
}

std::string TfSelectFolder::selectFolder() {
    combo_->setFocus();
    for (;;) {
        if (exec() != QDialog::Accepted)
            return {};
        const std::string text = ss(combo_->currentText().trimmed());
        // A text that is no complete path shows the dialog again.
        if (isCompleteFolderText(text))
            return finish(text);
    }
}

std::string TfSelectFolder::finish(const std::string& text) {
    const FolderHistory::Choice c = history_.choose(text);
    if (c.index < 0) {
        dialogs_.message(c.result.message);
        return {};
    }
    if (c.index >= combo_->count())
        combo_->addItem(qs(c.result.folder));
    combo_->setCurrentIndex(c.index);
    return c.result.folder;
}

}  // namespace qv::app
