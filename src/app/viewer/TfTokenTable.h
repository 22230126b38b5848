#pragma once

#include <QColor>
#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "viewer/TokenTableEditor.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace qv {
class Session;
}  // namespace qv

namespace qv::app {

class FileChooser;
class TokenGridView;
class TokenTableModel;

// The "TokenTable" window: the token table as an editable grid beside four groups of
// commands ("Complete Table:", "Tokenset:", "Color:", "Custom Table:"), shown modally.
// OK keeps the table only when it passes the check (the offending cell is marked red
// and brought into view otherwise); Cancel puts back the table as it was when the
// window opened. The editing run's rules are TokenTableEditor's.
class TfTokenTable : public QDialog {
    Q_OBJECT
  public:
    // programFolder holds the default "TokenTable.CSV", tempFolder the snapshot.
    TfTokenTable(Session& session, FileChooser& chooser, std::string programFolder,
                 std::string tempFolder, QWidget* parent = nullptr);

    // The viewer's mode index, kept as the remembered one when OK rebuilds the index.
    void setCurrentMode(int mode) { currentMode_ = mode; }
    // After OK: the mode the viewer selects in the rebuilt mode list.
    int selectedMode() const { return selectedMode_; }

    // The colour dialog; tests put their own in place.
    using ColourChooser = std::function<std::optional<QColor>(const QColor& preset)>;
    void setColourChooser(ColourChooser chooser) { colourChooser_ = std::move(chooser); }

    TokenTableEditor& editor() { return editor_; }
    TokenGridView* grid() const { return grid_; }
    QLabel* example() const { return example_; }
    QSpinBox* colourIndex() const { return colourIndex_; }
    QCheckBox* useCustomTable() const { return useCustom_; }

    // The commands of the buttons and keys.
    void loadTable();
    void saveTable();
    void clearTable();
    void defaultTable();
    void addTokenset();
    void deleteTokenset();
    void changeColour();
    void defaultColours();
    void copyCells();
    void cutCells();
    void pasteCells();
    void deleteCells();
    void refreshLegend();

    void accept() override;
    void reject() override;

  protected:
    void done(int result) override;

  private:
    void useCustomToggled(bool on);
    bool saveWithDialog();
    void tableReplaced();

    Session& session_;
    FileChooser& chooser_;
    TokenTableEditor editor_;
    TokenTableModel* model_;
    TokenGridView* grid_;
    QLabel* example_;
    QSpinBox* colourIndex_;
    QCheckBox* useCustom_;
    ColourChooser colourChooser_;
    int currentMode_ = 0;
    int selectedMode_ = 0;
};

}  // namespace qv::app
