#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "geos/FontView.h"
#include "geos/GeosReader.h"

class QWidget;

namespace qv {
class Session;
}

namespace qv::app {

class FileChooser;
class TfGeoPaint;
class TfGeoWrite;
class TfPhotoAlbum;
class TfShowFont;

// The viewers of the GEOS catalogue's documents and what opens them: a double click
// on a catalogue row calls openEntry, which finds the row's rule (the engine's
// decideOpen) and shows the GeoWrite, GeoPaint, font or album window, or the row's
// icon enlarged in the font window. The windows live as long as this object; their
// options come from the catalogue's settings and go back there, which the catalogue
// writes at shut-down.
class GeosViewers : public QObject {
    Q_OBJECT
  public:
    // parent is the main window: the viewers are its tool windows.
    GeosViewers(Session& session, FileChooser& chooser, QWidget* parent);
    ~GeosViewers() override;

    // Opens the document of catalogue row `row` (an index into the catalogue's rows).
    // True when a window was shown; false for a row that cannot be opened (its image
    // gone, its Fileoffset no number) and after a viewer failed with its own message.
    bool openEntry(int row);

    // The viewer options from the catalogue's settings ([GEOS], the print colours, the
    // font table) and the C64 colours of the settings file. openEntry does it the first
    // time; the catalogue's loadSettings must have run before.
    void applySettings();
    // The viewers' options into the catalogue's settings.
    void storeSettings();

    // The system's wheel-scroll line count (3 when it gives none); tests put their own.
    void setWheelSteps(std::function<int()> steps) { wheelSteps_ = std::move(steps); }

    TfGeoPaint* geoPaintWindow() const { return geoPaint_; }
    TfShowFont* fontWindow() const { return font_; }
    TfPhotoAlbum* albumWindow() const { return album_; }
    TfGeoWrite* geoWriteWindow() const { return geoWrite_; }

  private:
    int wheelStep() const;
    QString saveFolder() const;
    // The font window's "Monochrome scrap" changed elsewhere: its scrap follows.
    void setFontWindowMonochrome(bool on);

    Session& session_;
    GeosReaderContext context_;
    // The album decodes its scraps here, not in the font window, so that paging an
    // album never replaces the font window's picture.
    FontView albumDecoder_;
    std::function<int()> wheelSteps_;
    bool settingsApplied_ = false;
    TfGeoPaint* geoPaint_ = nullptr;
    TfShowFont* font_ = nullptr;
    TfPhotoAlbum* album_ = nullptr;
    TfGeoWrite* geoWrite_ = nullptr;
};

}  // namespace qv::app
