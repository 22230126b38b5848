#include "platform/FindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qv::app {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    grid->addWidget(label, 0, 0);
    text_ = new QLineEdit(this);
    label->setBuddy(text_);
    text_->setMaxLength(80);
    grid->addWidget(text_, 0, 1);
    matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    wholeWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    grid->addWidget(wholeWord_, 1, 0, 1, 2);
    grid->addWidget(matchCase_, 2, 0, 1, 2);
    auto* next = new QPushButton(QStringLiteral("&Find Next"), this);
    next->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    grid->addWidget(next, 0, 2);
    grid->addWidget(cancel, 1, 2);
    connect(next, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(text_, &QLineEdit::textChanged, this,
            [next](const QString& t) { next->setEnabled(!t.isEmpty()); });
    next->setEnabled(false);
}

QString FindDialog::text() const {
    return text_->text();
}
void FindDialog::setText(const QString& text) {
    text_->setText(text);
}
bool FindDialog::matchCase() const {
    return matchCase_->isChecked();
}
bool FindDialog::wholeWord() const {
    return wholeWord_->isChecked();
}
void FindDialog::setMatchCase(bool on) {
    matchCase_->setChecked(on);
}
void FindDialog::setWholeWord(bool on) {
    wholeWord_->setChecked(on);
}

}  // namespace qv::app
