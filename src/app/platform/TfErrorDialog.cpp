#include "platform/TfErrorDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/QtText.h"

namespace qv::app {

namespace {
constexpr int kWidth = 342;  // window width at 96 dpi; buttons sit at 6, 126, 246
constexpr int kButtonWidth = 90;
}  // namespace

TfErrorDialog::TfErrorDialog(const ErrorLayout& layout, const QFont& errorFont, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(qs(layout.caption));
    setObjectName(QStringLiteral("TfErrorDialog"));
    const double scale = logicalDpiX() / 96.0;
    const auto px = [scale](int v) { return static_cast<int>(v * scale); };
    auto* outer = new QVBoxLayout(this);
    // The window is as wide as the button row and as high as its content.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    auto* icon = new QLabel(this);
    const int iconSize = std::min(style()->pixelMetric(QStyle::PM_MessageBoxIconSize), px(32));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(iconSize));
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);
    auto* lines = new QVBoxLayout;
    const auto addLine = [&](const std::string& text, bool useErrorFont, const char* name,
                             const QString& accessibleName) {
        auto* e = new QLineEdit(qs(text), this);
        e->setReadOnly(true);
        e->setObjectName(QLatin1String(name));
        e->setAccessibleName(accessibleName);
        if (useErrorFont)
            e->setFont(errorFont);
        e->setCursorPosition(0);
        lines->addWidget(e);
    };
    // The first line names the image or file concerned, the second the item in it.
    addLine(layout.line1, layout.line1ErrorFont, "line1", QStringLiteral("Path"));
    if (layout.showLine2)
        addLine(layout.line2, layout.line2ErrorFont, "line2", QStringLiteral("Item"));
    top->addLayout(lines, 1);
    auto* topWidget = new QWidget(this);
    topWidget->setLayout(top);
    if (layout.topHeight > 0)
        topWidget->setFixedHeight(px(layout.topHeight));
    outer->addWidget(topWidget);

    auto* message = new QLabel(qs(layout.message), this);
    message->setWordWrap(true);
    message->setObjectName(QStringLiteral("message"));
    outer->addWidget(message);

    // The buttons at their places of the flag word's layout.
    auto* row = new QWidget(this);
    row->setFixedSize(px(kWidth), px(30));
    for (const ErrorButton& b : layout.buttons) {
        auto* button = new QPushButton(qs(b.text), row);
        button->setGeometry(px(b.x), px(2), px(kButtonWidth), px(25));
        button->setAutoDefault(false);
        if (b.isDefault) {
            button->setDefault(true);
            button->setFocus();
        }
        const int r = b.result;
        connect(button, &QPushButton::clicked, this, [this, r] {
            result_ = r;
            done(r);
        });
    }
    outer->addWidget(row);
    message->setFixedWidth(px(kWidth));
}

void TfErrorDialog::reject() {
    result_ = 2;
    QDialog::reject();
}

}  // namespace qv::app
