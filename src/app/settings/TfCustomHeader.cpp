#include "settings/TfCustomHeader.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "listing/ListingLayout.h"
#include "platform/QtText.h"
#include "settings/WindowSettings.h"

namespace qv::app {

std::string customHeaderExample(const std::string& currentImage, const std::string& lastLoad) {
    if (!currentImage.empty())
        return currentImage;
    std::string folder = lastLoad;
    // A last load folder that was never set stands for a made-up deep path, so the
    // effect of the skip count shows.
    if (folder.empty() || folder == kDefaultFolder) {
#ifdef _WIN32
        folder = "c:\\level_1\\level_2\\level_3\\level_4\\";
#else
        folder = "/level_1/level_2/level_3/level_4/";
#endif
    }
    return folder + "IMAGENAME.D64";
}

TfCustomHeader::TfCustomHeader(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Custom Header"));
    setObjectName(QStringLiteral("TfCustomHeader"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    example_ = new QLineEdit(this);
    prefix_ = new QLineEdit(this);
    skip_ = new QSpinBox(this);
    skip_->setRange(0, 255);
    changesTo_ = new QLineEdit(this);
    changesTo_->setReadOnly(true);
    form->addRow(QStringLiteral("Example:"), example_);
    form->addRow(QStringLiteral("Prefix"), prefix_);
    form->addRow(QStringLiteral("Directory Level Skip"), skip_);
    form->addRow(QStringLiteral("Changes To:"), changesTo_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(skip_, &QSpinBox::valueChanged, this, &TfCustomHeader::refresh);
    connect(example_, &QLineEdit::textChanged, this, &TfCustomHeader::refresh);
    prefix_->installEventFilter(this);
    skip_->installEventFilter(this);
    resize(420, sizeHint().height());
}

bool TfCustomHeader::eventFilter(QObject* watched, QEvent* event) {
    if (watched == skip_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;  // Enter in the spin box does nothing
    }
    if (watched == prefix_ && event->type() == QEvent::KeyRelease)
        refresh();
    return QDialog::eventFilter(watched, event);
}

void TfCustomHeader::prepare(const std::string& example, const std::string& prefix, int skip) {
    example_->setText(qs(example));
    prefix_->setText(qs(prefix));
    skip_->setValue(skip);
    refresh();
}

std::string TfCustomHeader::prefix() const {
    return ss(prefix_->text());
}

int TfCustomHeader::skip() const {
    return skip_->value();
}

std::string TfCustomHeader::result() const {
    return ss(changesTo_->text());
}

void TfCustomHeader::refresh() {
    changesTo_->setText(qs(customHeaderText(ss(example_->text()), prefix(), skip())));
}

}  // namespace qv::app
