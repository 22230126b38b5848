#include "viewer/TfTokenTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "session/Session.h"
#include "viewer/TokenGridView.h"
#include "viewer/TokenTableModel.h"

namespace qv::app {
namespace {

constexpr const char* kFilter = "Token Table Files (*.CSV)|*.CSV|All Files (*.*)|*.*";

// Clipboard rows end the way this system's programs expect.
#ifdef Q_OS_WIN
constexpr const char* kClipboardLineEnd = "\r\n";
#else
constexpr const char* kClipboardLineEnd = "\n";
#endif

QPushButton* button(const char* text, const char* hint, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setAccessibleName(b->text().remove(QLatin1Char('&')));
    if (hint) {
        b->setToolTip(QString::fromUtf8(hint));
        b->setAccessibleDescription(b->toolTip());
    }
    b->setAutoDefault(false);
    return b;
}

QColor toQColor(Rgb rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u));
}

}  // namespace

TfTokenTable::TfTokenTable(Session& session, FileChooser& chooser, std::string programFolder,
                           std::string tempFolder, QWidget* parent)
    : QDialog(parent),
      session_(session),
      chooser_(chooser),
      editor_(session.tokens(), session.dialogs(), session.settings(), std::move(programFolder),
              std::move(tempFolder)),
      colourChooser_([this](const QColor& preset) -> std::optional<QColor> {
          const QColor c = QColorDialog::getColor(preset, this);
          return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
      }) {
    setWindowTitle(QStringLiteral("TokenTable"));
    setObjectName(QStringLiteral("TfTokenTable"));
    setSizeGripEnabled(true);
    editor_.open();

    model_ = new TokenTableModel(editor_, this);
    grid_ = new TokenGridView(this);
    grid_->setAccessibleName(QStringLiteral("TokenTable"));
    grid_->setModel(model_);
    grid_->setCornerText(qs(editor_.table().cell(0, 0)));
    connect(model_, &TokenTableModel::legendMayChange, this, &TfTokenTable::refreshLegend);
    connect(grid_, &TokenGridView::copyRequested, this, &TfTokenTable::copyCells);
    connect(grid_, &TokenGridView::cutRequested, this, &TfTokenTable::cutCells);
    connect(grid_, &TokenGridView::pasteRequested, this, &TfTokenTable::pasteCells);
    connect(grid_, &TokenGridView::deleteRequested, this, &TfTokenTable::deleteCells);

    // "Complete Table:"
    auto* complete = new QGroupBox(QStringLiteral("Complete Table:"), this);
    auto* cl = new QGridLayout(complete);
    auto* load = button("&Load", "Load CSV Token Table File", complete);
    auto* save = button("&Save", "Save CSV Token Table File", complete);
    auto* clear = button("Cl&ear", nullptr, complete);
    auto* defaults = button("De&fault", nullptr, complete);
    defaults->setAccessibleDescription(QStringLiteral("Fill the built-in Token Table"));
    cl->addWidget(load, 0, 0);
    cl->addWidget(save, 0, 1);
    cl->addWidget(clear, 1, 0);
    cl->addWidget(defaults, 1, 1);
    connect(load, &QPushButton::clicked, this, &TfTokenTable::loadTable);
    connect(save, &QPushButton::clicked, this, &TfTokenTable::saveTable);
    connect(clear, &QPushButton::clicked, this, &TfTokenTable::clearTable);
    connect(defaults, &QPushButton::clicked, this, &TfTokenTable::defaultTable);

    // "Tokenset:"
    auto* tokenset = new QGroupBox(QStringLiteral("Tokenset:"), this);
    auto* tl = new QHBoxLayout(tokenset);
    auto* add = button("&Add", "Add a Tokenset Entry at the end of the Table", tokenset);
    auto* remove = button("&Delete", "Delete a Tokenset at the end of the Table", tokenset);
    tl->addWidget(add);
    tl->addWidget(remove);
    connect(add, &QPushButton::clicked, this, &TfTokenTable::addTokenset);
    connect(remove, &QPushButton::clicked, this, &TfTokenTable::deleteTokenset);

    // "Color:"
    auto* colour = new QGroupBox(QStringLiteral("Color:"), this);
    auto* col = new QGridLayout(colour);
    colourIndex_ = new QSpinBox(colour);
    colourIndex_->setRange(0, TokenTable::kColourCount - 1);
    colourIndex_->setAccessibleName(QStringLiteral("Color:"));
    colourIndex_->setToolTip(QStringLiteral("Color Example and assigned Table Entries"));
    auto* indexLabel = new QLabel(QStringLiteral("&Index:"), colour);
    indexLabel->setBuddy(colourIndex_);
    example_ = new QLabel(colour);
    example_->setObjectName(QStringLiteral("colourExample"));
    example_->setToolTip(QStringLiteral("Color Example and assigned Table Entries"));
    example_->setAccessibleName(QStringLiteral("Color Example"));
    example_->setWordWrap(true);
    example_->setFrameShape(QFrame::StyledPanel);
    example_->setFrameShadow(QFrame::Sunken);
    example_->setAutoFillBackground(true);
    example_->setMinimumHeight(fontMetrics().height() * 3 + 8);
    example_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* change = button("C&hange", nullptr, colour);
    auto* colourDefaults = button("Defa&ult", nullptr, colour);
    colourDefaults->setAccessibleDescription(QStringLiteral("Put back the default colors"));
    col->addWidget(indexLabel, 0, 0);
    col->addWidget(colourIndex_, 0, 1);
    col->addWidget(example_, 1, 0, 1, 2);
    col->addWidget(change, 2, 0);
    col->addWidget(colourDefaults, 2, 1);
    connect(colourIndex_, &QSpinBox::valueChanged, this, &TfTokenTable::refreshLegend);
    connect(change, &QPushButton::clicked, this, &TfTokenTable::changeColour);
    connect(colourDefaults, &QPushButton::clicked, this, &TfTokenTable::defaultColours);

    // "Custom Table:"
    auto* custom = new QGroupBox(QStringLiteral("Custom Table:"), this);
    auto* cul = new QVBoxLayout(custom);
    useCustom_ = new QCheckBox(QStringLiteral("Use &Custom Table"), custom);
    useCustom_->setAccessibleName(QStringLiteral("Use Custom Table"));
    useCustom_->setToolTip(QStringLiteral("Check for Default using a saved Custom Table"));
    useCustom_->setChecked(editor_.useCustomTable());
    cul->addWidget(useCustom_);
    connect(useCustom_, &QCheckBox::clicked, this, &TfTokenTable::useCustomToggled);

    auto* side = new QVBoxLayout;
    side->addWidget(complete);
    side->addWidget(tokenset);
    side->addWidget(colour);
    side->addWidget(custom);
    side->addStretch();

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TfTokenTable::accept);
    connect(cancel, &QPushButton::clicked, this, &TfTokenTable::reject);
    // OK and Cancel stay centred under the grid.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addSpacing(40);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(grid_, 1);
    left->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side);

    resize(editor_.table().editorWidth(), editor_.table().editorHeight());
    refreshLegend();
}

void TfTokenTable::refreshLegend() {
    const int index = colourIndex_->value();
    example_->setText(qs(colourLegend(editor_.table(), index)));
    QPalette p = example_->palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText,
               toQColor(editor_.table().tokenColours[static_cast<std::size_t>(index)]));
    example_->setPalette(p);
}

void TfTokenTable::tableReplaced() {
    model_->reload();
    grid_->setCornerText(qs(editor_.table().cell(0, 0)));
    refreshLegend();
}

void TfTokenTable::loadTable() {
    const QString file = chooser_.openFile(this, QStringLiteral("Load CSV Token Table File"),
                                           qs(editor_.fileName()), kFilter);
    if (file.isEmpty())
        return;
    editor_.load(ss(file));
    tableReplaced();
}

bool TfTokenTable::saveWithDialog() {
    const auto choice = chooser_.saveFile(this, QStringLiteral("Save CSV Token Table File"),
                                          qs(editor_.fileName()), kFilter, QStringLiteral("CSV"));
    if (!choice || choice->path.isEmpty())
        return false;
    return editor_.save(ss(choice->path));
}

void TfTokenTable::saveTable() {
    saveWithDialog();
}

void TfTokenTable::clearTable() {
    editor_.clear();
    tableReplaced();
}

void TfTokenTable::defaultTable() {
    editor_.resetToDefault();
    tableReplaced();
}

void TfTokenTable::addTokenset() {
    editor_.addTokenset();
    tableReplaced();
    grid_->scrollTo(model_->index(0, model_->columnCount() - 1));
}

void TfTokenTable::deleteTokenset() {
    editor_.deleteTokenset();
    tableReplaced();
}

void TfTokenTable::changeColour() {
    const int index = colourIndex_->value();
    const auto chosen =
        colourChooser_(toQColor(editor_.table().tokenColours[static_cast<std::size_t>(index)]));
    if (!chosen)
        return;
    editor_.setColour(index, chosen->rgb() & 0xFFFFFFu);
    refreshLegend();
}

void TfTokenTable::defaultColours() {
    editor_.defaultColours();
    refreshLegend();
}

void TfTokenTable::useCustomToggled(bool on) {
    editor_.setUseCustomTable(on);
    if (!on)
        return;
    // The custom table is the saved file: checking the box saves the table. Without a
    // file to load at the next start the box does not stay checked.
    if (!saveWithDialog() && !QFileInfo::exists(qs(editor_.fileName()))) {
        editor_.setUseCustomTable(false);
        useCustom_->setChecked(false);
    }
}

void TfTokenTable::copyCells() {
    const CellRange range = grid_->selectedCells();
    if (range.empty())
        return;
    QApplication::clipboard()->setText(
        qs(qv::copyCells(editor_.table(), range, kClipboardLineEnd)));
}

void TfTokenTable::cutCells() {
    const CellRange range = grid_->selectedCells();
    if (range.empty())
        return;
    QApplication::clipboard()->setText(qs(editor_.cut(range, kClipboardLineEnd)));
    model_->cellsChanged(range);
    refreshLegend();
}

void TfTokenTable::pasteCells() {
    const CellRange range = grid_->selectedCells();
    if (range.empty())
        return;
    const std::string text = ss(QApplication::clipboard()->text());
    const CellRange written = editor_.paste({range.left, range.top}, text);
    model_->cellsChanged(written);
    refreshLegend();
}

void TfTokenTable::deleteCells() {
    const CellRange range = grid_->selectedCells();
    if (range.empty())
        return;
    editor_.deleteCells(range);
    model_->cellsChanged(range);
    refreshLegend();
}

void TfTokenTable::accept() {
    const std::optional<int> mode =
        editor_.accept(currentMode_, session_.viewerOptions().translateSpecialchars, [this] {
            const auto choice =
                chooser_.saveFile(this, QStringLiteral("Save CSV Token Table File"),
                                  qs(editor_.fileName()), kFilter, QStringLiteral("CSV"));
            return choice && !choice->path.isEmpty() ? std::optional<std::string>(ss(choice->path))
                                                     : std::nullopt;
        });
    if (!mode) {
        // The table did not pass: the cell the check reported is shown, red.
        model_->reload();
        const QModelIndex marked = model_->modelIndex(editor_.markedCell());
        if (marked.isValid()) {
            grid_->setCurrentIndex(marked);
            grid_->clearSelection();
            grid_->scrollTo(marked, QAbstractItemView::PositionAtCenter);
        }
        return;
    }
    selectedMode_ = *mode;
    QDialog::accept();
}

void TfTokenTable::reject() {
    if (!editor_.cancel())
        return;
    QDialog::reject();
}

void TfTokenTable::done(int result) {
    editor_.table().setEditorSize(width(), height());
    QDialog::done(result);
}

}  // namespace qv::app
