#pragma once

#include <QWidget>
#include <functional>

#include "geos/GeoWrite.h"
#include "geos/GeoWriteRuler.h"

class QAction;
class QActionGroup;
class QDialog;
class QMenu;

namespace qv::app {

class FileChooser;
class GeoWriteRulerBar;
class RichTextView;

// The GeoWrite window: the converted document in the rich-text view below the ruler,
// the pop-up menu with "Options" and "Save as...". Every rule of the conversion, the
// ruler arithmetic and the saving is the engine's (GeoWriteView, GeoWriteRuler); the
// window shows the result and sends the menu's choices back.
class TfGeoWrite : public QWidget {
    Q_OBJECT
  public:
    TfGeoWrite(GeosReaderContext& context, FileChooser& chooser, QWidget* parent = nullptr);

    GeoWriteView& view() { return view_; }
    // Converts a document and shows it in the view: 0, or 1 after a failure.
    int convert(const std::string& imagePath, const std::string& fileName,
                const std::string& fileOffsetText, const std::string& classText);
    void showDocument();

    // "Insert PhotoScraps": 1 "From RTF", 2 "OLE From File", 3 "OLE From Object", any
    // other "From ClipBoard" ([GEOS] OLE). Every mode inserts the picture itself here.
    int pictureInsertMode() const { return insertMode_; }
    void setPictureInsertMode(int mode);
    // The menu checks from the view's options (after the settings were applied).
    void syncMenu();

    void saveAs();
    void setSaveFolder(std::function<QString()> folder) { saveFolder_ = std::move(folder); }
    // "Show FontID Lookup Table...": the modal table, or the message without a table.
    void showFontTable();
    // "Use FontID Lookup Table".
    void toggleUseFontTable();
    // A ruler marker was dropped at x: the indents of the paragraph at the cursor.
    void dropMarker(RulerMarker marker, int x);
    // The paragraph at the cursor and its markers.
    int currentParagraph() const;
    void updateRuler();

    RichTextView* textView() const { return text_; }
    GeoWriteRulerBar* ruler() const { return ruler_; }
    QMenu* popupMenu() const { return menu_; }
    QMenu* optionsMenu() const { return options_; }
    // An item of the "Options" menu by its caption without the mnemonic mark (nullptr when
    // there is none).
    QAction* optionAction(const QString& caption) const;
    QDialog* fontTableDialog() const { return fontTableDialog_; }

    // How far right of the ruler's origin the view's text starts.
    static constexpr int kDragOffset = 4;

  signals:
    void optionsChanged();
    // "Monochrome Scraps" was clicked: the font window follows.
    void monochromeScrapsChanged(bool on);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildMenu();
    QAction* addCheck(QMenu* menu, const QString& caption, bool GeoWriteOptions::*option);
    // Converts the stored document again, when its image still exists.
    void convertAgain();
    void showConverted();

    GeosReaderContext& context_;
    FileChooser& chooser_;
    GeoWriteView view_;
    std::function<QString()> saveFolder_;
    int insertMode_ = 1;
    GeoWriteRulerBar* ruler_ = nullptr;
    RichTextView* text_ = nullptr;
    QMenu* menu_ = nullptr;
    QMenu* options_ = nullptr;
    QActionGroup* insertGroup_ = nullptr;
    QActionGroup* newlineGroup_ = nullptr;
    QActionGroup* paperGroup_ = nullptr;
    QAction* header_ = nullptr;
    QAction* footer_ = nullptr;
    QAction* useTable_ = nullptr;
    QDialog* fontTableDialog_ = nullptr;
};

}  // namespace qv::app
