#pragma once

#include <string>
#include <vector>

#include "geos/GeosReader.h"
#include "support/Image.h"

namespace qv {

class FontView;

// A photo album: a VLIR file whose records are photo scraps. An album of version 2 keeps
// the scrap titles, each ended by a 0 byte, in its last used record.
class PhotoAlbum {
  public:
    // Version from the class text: 1 when it names "PHOTO ALBUM V1", else 2.
    static int versionFromClass(const std::string& classText);

    // Reads the index (and the titles of a version 2 album): 0, or 1 when the image cannot
    // be used. `version` must be set before.
    int loadAlbum(FontView& view, GeosReaderContext& context, const std::string& imagePath,
                  const std::string& fileName, int indexBlockOffset);
    // Decodes scrap i through the font window and takes its picture: 0, or 1 after a
    // failure (an illegal pointer or a scrap that does not decode).
    int showAlbumScrap(FontView& view, GeosReaderContext& context, int i);

    // Page Down / Page Up: the next or previous scrap, wrapping around, shown.
    int nextScrap(FontView& view, GeosReaderContext& context);
    int previousScrap(FontView& view, GeosReaderContext& context);

    // "Monochrome scrap": toggles, passes the state to the font window and shows the
    // current scrap again.
    int toggleMonochrome(FontView& view, GeosReaderContext& context);

    // Zoom menu and window geometry. Client sizes are those of the album window; the
    // button panel's height is the window's.
    void zoom100();
    void zoomIn();
    void zoomOut();  // stops at 0.5
    void toggleFitToWindow();
    // The window was resized: with "Fit To Window" on the panel is fitted again.
    void resized(int clientWidth, int clientHeight);
    // The window is shown: its client area becomes the panel plus 4 by the panel plus the
    // button panel plus 4.
    void shown();

    int version = 2;
    bool fitToWindow = false;  // [GEOS] "PhotoAlbum fit"
    bool monochrome = false;   // the album's "Monochrome scrap" item
    int buttonPanelHeight = 41;

    const std::string& imagePath() const { return imagePath_; }
    const std::string& fileName() const { return fileName_; }
    const std::vector<TrackSector>& scrapPointers() const { return pointers_; }
    int lastScrap() const { return lastScrap_; }
    int scrapCount() const { return lastScrap_ + 1; }
    int currentScrap() const { return current_; }
    const std::vector<std::string>& titles() const { return titles_; }
    double zoomFactor() const { return zoom_; }
    int dosType() const { return dosType_; }

    const Image32& picture() const { return picture_; }
    std::string caption;  // "3/12"
    std::string label;    // the title under the picture, or "No Titles..."
    std::string hint;     // "Size: 320x200"
    // The current scrap's title for version 2, otherwise empty.
    std::string currentTitle() const;

    int panelWidth() const { return panelWidth_; }
    int panelHeight() const { return panelHeight_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    // Left edges of the "prev" and "next" buttons.
    int prevButtonX() const { return panelWidth_ / 2 - 35; }
    int nextButtonX() const { return panelWidth_ / 2 + 10; }

  private:
    void readTitles(GeosReaderContext& context, DiskImage& image);
    void layoutPanel(bool growWindow);

    std::string imagePath_;
    std::string fileName_;
    std::vector<TrackSector> pointers_;
    int lastScrap_ = -1;
    int current_ = 0;
    std::vector<std::string> titles_;
    double zoom_ = 1.0;
    int dosType_ = 0;
    Image32 picture_;
    int panelWidth_ = 0;
    int panelHeight_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
};

}  // namespace qv
