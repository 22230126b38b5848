#include "platform/TfEODSearch.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <cmath>

namespace qv::app {

TfEODSearch::TfEODSearch(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TfEODSearch"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);

    auto* maskLabel = new QLabel(QStringLiteral("Specify &Filename:"), this);
    mask_ = new QComboBox(this);
    mask_->setEditable(true);
    mask_->setInsertPolicy(QComboBox::NoInsert);
    mask_->addItem(QStringLiteral("*.D64"));
    mask_->setCurrentIndex(0);
    mask_->setToolTip(QStringLiteral("Enter fillename mask"));
    mask_->setAccessibleName(QStringLiteral("Specify Filename:"));
    maskLabel->setBuddy(mask_);
    search_ = new QPushButton(QStringLiteral("&Search"), this);
    search_->setToolTip(QStringLiteral("Search again..."));
    search_->setAutoDefault(false);
    connect(search_, &QPushButton::clicked, this, &TfEODSearch::searchClicked);

    auto* selectedLabel = new QLabel(QStringLiteral("Selected:"), this);
    selected_ = new QLabel(QStringLiteral("0"), this);
    selected_->setToolTip(QStringLiteral("Number of selected files"));
    selected_->setAccessibleName(QStringLiteral("Selected:"));
    selected_->setMinimumWidth(60);

    animation_ = new QLabel(this);
    animation_->setFixedSize(48, 50);
    animation_->setAccessibleName(QStringLiteral("Search animation"));

    auto* initialLabel = new QLabel(QStringLiteral("&Initial Directory for next start:"), this);
    initial_ = new QLineEdit(this);
    initial_->setToolTip(QStringLiteral(
        "Use as initial dir for the next time this dialog is opened. Have a look at the docu "
        "for additional special locations."));
    initial_->setAccessibleName(QStringLiteral("Initial Directory for next start:"));
    initialLabel->setBuddy(initial_);
    pick_ = new QPushButton(QStringLiteral("&Pick"), this);
    pick_->setToolTip(QStringLiteral("Pick selected dir as initial dir"));
    pick_->setAutoDefault(false);
    connect(pick_, &QPushButton::clicked, this, &TfEODSearch::pickClicked);

    grid->addWidget(maskLabel, 0, 0, 1, 2);
    grid->addWidget(mask_, 1, 0);
    grid->addWidget(search_, 1, 1);
    auto* count = new QHBoxLayout;
    count->addWidget(selectedLabel);
    count->addWidget(selected_);
    count->addStretch();
    grid->addLayout(count, 2, 0, 1, 2);
    grid->addWidget(animation_, 0, 2, 3, 1, Qt::AlignCenter);
    grid->addWidget(initialLabel, 3, 0, 1, 3);
    grid->addWidget(initial_, 4, 0, 1, 2);
    grid->addWidget(pick_, 4, 2);
    grid->setColumnStretch(0, 1);

    timer_ = new QTimer(this);
    timer_->setInterval(kFrameMilliseconds);
    connect(timer_, &QTimer::timeout, this, &TfEODSearch::nextFrame);
    showFrame();
}

QString TfEODSearch::mask() const {
    return mask_->currentText();
}

void TfEODSearch::rememberMask() {
    const QString m = mask();
    int i = mask_->findText(m, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (i < 0) {
        mask_->addItem(m);
        i = mask_->count() - 1;
    }
    mask_->setCurrentIndex(i);
}

QString TfEODSearch::initialLocation() const {
    return initial_->text();
}

void TfEODSearch::setInitialLocation(const QString& text) {
    initial_->setText(text);
}

void TfEODSearch::setSelectedCount(int count) {
    selected_->setText(QString::number(count));
}

QString TfEODSearch::selectedText() const {
    return selected_->text();
}

void TfEODSearch::startAnimation() {
    timer_->start();
}

void TfEODSearch::stopAnimation() {
    timer_->stop();
    frame_ = 0;
    showFrame();
}

bool TfEODSearch::animating() const {
    return timer_->isActive();
}

void TfEODSearch::nextFrame() {
    frame_ = (frame_ + 1) % kFrames;
    showFrame();
}

void TfEODSearch::showFrame() {
    animation_->setPixmap(drawFrame(frame_));
}

QPixmap TfEODSearch::drawFrame(int frame) {
    QPixmap pm(48, 50);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // The disk: a dark sleeve with its hub and a label.
    p.setPen(QPen(QColor(20, 20, 40), 1));
    p.setBrush(QColor(50, 50, 80));
    p.drawRect(QRectF(6.5, 8.5, 34, 34));
    p.setBrush(QColor(235, 235, 210));
    p.drawRect(QRectF(11.5, 10.5, 24, 9));
    p.setBrush(QColor(200, 200, 200));
    p.drawEllipse(QPointF(23.5, 30), 5, 5);
    p.setBrush(QColor(50, 50, 80));
    p.drawEllipse(QPointF(23.5, 30), 2, 2);
    // The magnifier goes round the hub.
    const double a = 2 * M_PI * frame / kFrames - M_PI / 2;
    const QPointF lens(24 + 11 * std::cos(a), 26 + 11 * std::sin(a));
    p.setPen(QPen(QColor(120, 70, 20), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(lens + QPointF(5, 5), lens + QPointF(11, 11));
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(QColor(170, 210, 255, 170));
    p.drawEllipse(lens, 7, 7);
    return pm;
}

}  // namespace qv::app
