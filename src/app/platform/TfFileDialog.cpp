#include "platform/TfFileDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/QtText.h"

namespace qv::app {

TfFileDialog::TfFileDialog(QuestionMode mode, QWidget* parent)
    : QDialog(parent), spec_(&questionSpec(mode)) {
    setWindowTitle(qs(spec_->caption));
    setObjectName(QStringLiteral("TfFileDialog%1").arg(static_cast<int>(mode)));
    auto* layout = new QVBoxLayout(this);

    path_ = new QLineEdit(this);
    path_->setReadOnly(true);
    path_->setFrame(false);
    path_->setObjectName(QStringLiteral("path"));
    path_->setAccessibleName(QStringLiteral("Path"));
    layout->addWidget(path_);

    message_ = new QLabel(this);
    message_->setWordWrap(true);
    message_->setObjectName(QStringLiteral("message"));
    layout->addWidget(message_);

    if (!spec_->extensions.empty()) {
        extensions_ = new QListWidget(this);
        extensions_->setAccessibleName(QStringLiteral("Extensions"));
        for (const std::string& e : spec_->extensions)
            extensions_->addItem(qs(e));
        extensions_->setCurrentRow(0);
        layout->addWidget(extensions_);
    }
    if (!spec_->radioLabels.empty()) {
        auto* group = new QButtonGroup(this);
        for (const std::string& label : spec_->radioLabels) {
            auto* r = new QRadioButton(qs(label), this);
            group->addButton(r);
            radios_.push_back(r);
            layout->addWidget(r);
        }
        radios_.front()->setChecked(true);
    }
    if (spec_->hasLogBox) {
        logBox_ = new QCheckBox(QStringLiteral("Log *.D64 File"), this);
        logBox_->setToolTip(QStringLiteral("Create a Log File in the Default Save Path"));
        layout->addWidget(logBox_);
    }
    if (spec_->hasDontAskBox) {
        dontAsk_ = new QCheckBox(QStringLiteral("Don't ask me again during this session"), this);
        layout->addWidget(dontAsk_);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    bool first = true;
    for (const DialogButton& b : spec_->buttons) {
        auto* button = new QPushButton(qs(b.text), this);
        button->setAutoDefault(false);
        if (first)
            button->setDefault(true);
        first = false;
        const int result = b.result;
        connect(button, &QPushButton::clicked, this, [this, result] {
            result_ = result;
            done(result);
        });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    // The modes with a list or radio buttons have a fixed height at 96 dpi, scaled
    // with the screen.
    if (spec_->extraHeight > 0) {
        const double scale = logicalDpiY() / 96.0;
        const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight);
        setMinimumHeight(static_cast<int>((caption + spec_->extraHeight) * scale) - caption);
    }
    setMinimumWidth(static_cast<int>(420 * logicalDpiX() / 96.0));
}

void TfFileDialog::prepare(const QuestionRequest& request) {
    path_->setText(qs(request.path));
    message_->setText(qs(request.message));
    if (extensions_) {
        const int row = request.preset.choice;
        extensions_->setCurrentRow(row >= 0 && row < extensions_->count() ? row : 0);
    }
    if (!radios_.empty()) {
        const int v = request.preset.choice;
        radios_[static_cast<std::size_t>(v >= 1 && v <= 4 ? v - 1 : 0)]->setChecked(true);
    }
    if (logBox_)
        logBox_->setChecked(request.preset.logFile);
    if (dontAsk_)
        dontAsk_->setChecked(request.preset.dontAsk);
    result_ = 2;
}

QuestionReply TfFileDialog::reply() const {
    QuestionReply r;
    r.result = result_;
    if (extensions_)
        r.choice = extensions_->currentRow() < 0 ? 0 : extensions_->currentRow();
    for (std::size_t i = 0; i < radios_.size(); ++i) {
        if (radios_[i]->isChecked())
            r.choice = static_cast<int>(i) + 1;
    }
    r.logFile = logBox_ && logBox_->isChecked();
    r.dontAsk = dontAsk_ && dontAsk_->isChecked();
    return r;
}

void TfFileDialog::reject() {
    // Escape and the close box give 2 in every mode.
    result_ = 2;
    QDialog::reject();
}

}  // namespace qv::app
