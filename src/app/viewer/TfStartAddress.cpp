#include "viewer/TfStartAddress.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/QtText.h"
#include "session/Session.h"
#include "settings/IniFile.h"
#include "viewer/StartAddresses.h"

namespace qv::app {
namespace {

// The lists in the order the dialog shows them: each BASIC version beside the list of
// its extensions.
struct ListPlace {
    int type;
    const char* caption;
    const char* subject;  // what "+" adds ("BASIC V2 Startaddress")
};
constexpr std::array<ListPlace, 6> kPlaces = {{
    {2, "BASIC V2", "BASIC V2"},
    {5, "Extensions (of V2)", "BASIC V2 Extension"},
    {3, "BASIC V3.5", "BASIC V3.5"},
    {6, "Extensions (of V3.5)", "BASIC V3.5 Extension"},
    {4, "BASIC V7", "BASIC V7"},
    {7, "Extensions (of V7)", "BASIC V7 Extension"},
}};

QString listHint(int type) {
    switch (type) {
        case 2:
            return QStringLiteral("Valid Startaddresses for BASIC V2 (Type 2)");
        case 3:
            return QStringLiteral("Valid Startaddresses for BASIC V3.5 (Type 3)");
        case 4:
            return QStringLiteral("Valid Startaddresses for BASIC V7 (Type 4)");
        case 5:
            return QStringLiteral("Valid Startaddresses for BASIC V2 Extensions (Type 5)");
        case 6:
            return QStringLiteral("Valid Startaddresses for BASIC V3.5 Extensions (Type 6)");
        default:
            return QStringLiteral("Valid Startaddresses for BASIC V7 Extensions (Type 7)");
    }
}

std::size_t slot(int type) {
    return static_cast<std::size_t>(type - StartAddresses::kFirstType);
}

}  // namespace

TfStartAddress::TfStartAddress(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setWindowTitle(QStringLiteral("Edit Startaddresses"));
    setObjectName(QStringLiteral("TfStartAddress"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Add BASIC Startaddresses in Hex for Mode AutoDetection/TestAddress:"),
        this));
    auto* grid = new QGridLayout;
    int column = 0;
    for (const ListPlace& place : kPlaces) {
        auto* caption = new QLabel(QString::fromUtf8(place.caption), this);
        auto* list = new QListWidget(this);
        list->setObjectName(QStringLiteral("list%1").arg(place.type));
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setToolTip(listHint(place.type));
        list->setAccessibleName(QString::fromUtf8(place.caption));
        list->setAccessibleDescription(list->toolTip());
        // Every list as wide as its two buttons: the entries are four digits; a long
        // caption takes two lines.
        const int buttonWidth = fontMetrics().horizontalAdvance(QStringLiteral("+")) + 32;
        list->setFixedWidth(2 * buttonWidth + 6);
        caption->setWordWrap(true);
        caption->setFixedWidth(list->width());
        caption->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
        list->setMinimumHeight(fontMetrics().height() * 8);
        caption->setBuddy(list);
        lists_[slot(place.type)] = list;
        const QString subject = QString::fromUtf8(place.subject);
        auto* plus = new QPushButton(QStringLiteral("+"), this);
        plus->setObjectName(QStringLiteral("add%1").arg(place.type));
        plus->setToolTip(QStringLiteral("Click to add a %1 Startaddress").arg(subject));
        plus->setAccessibleName(plus->toolTip());
        plus->setAutoDefault(false);
        auto* minus = new QPushButton(QStringLiteral("-"), this);
        minus->setObjectName(QStringLiteral("remove%1").arg(place.type));
        minus->setToolTip(
            QStringLiteral("Click to delete selected %1 Startaddresses").arg(subject));
        minus->setAccessibleName(minus->toolTip());
        minus->setAutoDefault(false);
        const int type = place.type;
        connect(plus, &QPushButton::clicked, this, [this, type] { addAddress(type); });
        connect(minus, &QPushButton::clicked, this, [this, type] { removeSelected(type); });
        plus->setFixedWidth(buttonWidth);
        minus->setFixedWidth(buttonWidth);
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(6);
        buttons->addWidget(plus);
        buttons->addWidget(minus);
        buttons->addStretch();
        grid->addWidget(caption, 0, column);
        grid->addWidget(list, 1, column);
        grid->addLayout(buttons, 2, column);
        ++column;
    }
    layout->addLayout(grid, 1);
    auto* bottom = new QHBoxLayout;
    auto* defaults = new QPushButton(QStringLiteral("&Default"), this);
    defaults->setAccessibleName(QStringLiteral("Default"));
    defaults->setAutoDefault(false);
    connect(defaults, &QPushButton::clicked, this, &TfStartAddress::restoreDefaults);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TfStartAddress::accept);
    connect(cancel, &QPushButton::clicked, this, &TfStartAddress::reject);
    bottom->addWidget(defaults);
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    layout->addLayout(bottom);
    showLists();
}

QListWidget* TfStartAddress::list(int type) const {
    if (type < StartAddresses::kFirstType || type > StartAddresses::kLastType)
        return nullptr;
    return lists_[slot(type)];
}

void TfStartAddress::showList(int type) {
    QListWidget* w = list(type);
    w->clear();
    for (const std::string& entry : session_.viewerOptions().startAddresses.list(type))
        w->addItem(qs(entry));
}

void TfStartAddress::showLists() {
    for (int type = StartAddresses::kFirstType; type <= StartAddresses::kLastType; ++type)
        showList(type);
}

void TfStartAddress::addAddress(int type) {
    StartAddresses& addresses = session_.viewerOptions().startAddresses;
    std::string preset;
    for (;;) {
        const std::optional<std::string> text =
            session_.dialogs().host().askText("Input", "Insert new BASIC Startaddress", preset);
        if (!text)
            return;
        const StartAddresses::InputCheck check = addresses.add(type, *text);
        if (check == StartAddresses::InputCheck::Ok)
            break;
        if (check == StartAddresses::InputCheck::Empty)
            return;
        session_.dialogs().message(StartAddresses::inputMessage(check));
        preset = *text;
    }
    showList(type);
}

void TfStartAddress::removeSelected(int type) {
    QListWidget* w = list(type);
    std::vector<std::string>& entries = session_.viewerOptions().startAddresses.list(type);
    for (int row = w->count() - 1; row >= 0; --row) {
        if (w->item(row)->isSelected() && row < static_cast<int>(entries.size()))
            entries.erase(entries.begin() + row);
    }
    showList(type);
}

void TfStartAddress::restoreDefaults() {
    session_.viewerOptions().startAddresses.resetToDefaults();
    showLists();
}

void TfStartAddress::accept() {
    const StartAddresses& addresses = session_.viewerOptions().startAddresses;
    (void)session_.settings().update("StartAddress",
                                     [&addresses](IniFile& ini) { addresses.save(ini); });
    QDialog::accept();
}

void TfStartAddress::reject() {
    session_.viewerOptions().startAddresses.load(session_.settings().readOrEmpty());
    showLists();
    QDialog::reject();
}

}  // namespace qv::app
