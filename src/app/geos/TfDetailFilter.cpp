#include "geos/TfDetailFilter.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace qv::app {
namespace {

// The boxes' captions with their access keys, in column order.
const char* const kBoxTexts[kCatalogueColumnCount] = {
    "&Filename",    "File&type",    "&Class Text",    "&Author",    "A&pplication",
    "&Description", "Dat&e + Time", "D64 &Imagename", "File&offset"};

}  // namespace

TfDetailFilter::TfDetailFilter(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("GEOS Detail Filter"));
    setObjectName(QStringLiteral("TfDetailFilter"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Choose Items..."), this);
    group->setAccessibleName(group->title());
    auto* boxes = new QVBoxLayout(group);
    for (int c = 0; c < kCatalogueColumnCount; ++c) {
        auto* b = new QCheckBox(QString::fromLatin1(kBoxTexts[c]), group);
        b->setAccessibleName(
            QString::fromLatin1(catalogueColumns()[static_cast<std::size_t>(c)].filterLabel));
        connect(b, &QCheckBox::toggled, this, [this, c](bool on) {
            if (filter_)
                (*filter_)[static_cast<std::size_t>(c)] = on;
        });
        boxes->addWidget(b);
        boxes_[static_cast<std::size_t>(c)] = b;
    }
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool TfDetailFilter::choose(ColumnFilter& filter) {
    filter_ = nullptr;  // showing the state is no click
    for (int c = 0; c < kCatalogueColumnCount; ++c)
        boxes_[static_cast<std::size_t>(c)]->setChecked(filter[static_cast<std::size_t>(c)]);
    filter_ = &filter;
    boxes_[0]->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    filter_ = nullptr;
    return ok;
}

}  // namespace qv::app
