#pragma once

#include <cstdint>
#include <string>

#include "geos/GeosReader.h"
#include "support/Colour.h"
#include "support/Image.h"

namespace qv {

// What the font window shows.
enum class FontViewContent { None, Font, Scrap, Icon };

// The font window's state. The window is the small picture viewer of the GEOS
// documents: font sheets, photo scraps (which the photo album and the GeoWrite
// converter take from here) and file icons.
class FontView {
  public:
    // Options ([GEOS] "Spaces between chars", "ShowGrid", "GridColor").
    bool spaceBetweenChars = true;
    bool showGrid = false;
    std::uint32_t gridColour = swapRedBlue(kDefaultGridColorSetting);  // 0xRRGGBB
    // "Monochrome scrap": photo scraps in black and white.
    bool monochromeScrap = false;
    // "Cancel" in the cards-repeater message: it is not shown again during the run.
    bool cardsRepeaterMessageOff = false;

    // Menu items the caller makes visible before showing the window.
    bool fontItemsVisible = true;   // "Space between chars", "Show Grid"
    bool scrapItemVisible = false;  // "Monochrome scrap"

    std::string caption;
    // The hint: the drawn heights for a font ("Drawn Sizes through VLIR: 10 12").
    std::string hint;

    // The screen, which limits the client area.
    int screenWidth = 1920;
    int screenHeight = 1080;
    // Mouse wheel: 8 pixels times this per notch (3 when the system gives no value).
    int wheelStep = 3;

    // A new picture from the font renderer, the scrap decoder or an icon; keeps the
    // document for drawing it again and sizes the client area to the picture.
    void setPicture(Image32 picture, FontViewContent content, const std::string& imagePath = {},
                    const std::string& fileName = {}, int fileOffset = 0);
    const Image32& picture() const { return picture_; }
    FontViewContent content() const { return content_; }
    const std::string& imagePath() const { return imagePath_; }
    const std::string& fileName() const { return fileName_; }
    int fileOffset() const { return fileOffset_; }

    // The caller shows the window: zoom 1, natural size from the picture, the resize
    // flag cleared.
    void shown();
    // Every resize of the visible window but the very first one of the program run.
    void resized(int clientWidth, int clientHeight);

    // Zoom menu. Steps of 0.25; "Zoom out" stops at 0.25.
    void zoom100();
    void zoomIn();
    void zoomOut();
    void toggleFitToWindow();
    double zoomFactor() const { return zoom_; }
    bool fitToWindow() const { return fit_; }
    bool resizedSinceShown() const { return resizedSinceShown_; }
    // Size the picture is shown at: the client area with "Fit To Window", otherwise its
    // natural size times the zoom factor, truncated.
    int shownWidth() const;
    int shownHeight() const;
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }

    // "Space between chars" and "Show Grid": toggle and draw the stored font again.
    int toggleSpaceBetweenChars(GeosReaderContext& context);
    int toggleShowGrid(GeosReaderContext& context);
    // "Monochrome scrap": toggles and decodes the stored scrap again.
    int toggleMonochromeScrap(GeosReaderContext& context);
    // Draws the stored document again with the current options; 1 when there is none
    // or it fails.
    int redraw(GeosReaderContext& context);

    int scrollY() const { return scrollY_; }
    // Where the window's scroll bar stands (the user may have dragged it).
    void setScrollY(int y) { scrollY_ = y; }
    void wheel(int notches);

  private:
    void fitClientToPicture();

    Image32 picture_;
    FontViewContent content_ = FontViewContent::None;
    std::string imagePath_;
    std::string fileName_;
    int fileOffset_ = 0;
    double zoom_ = 1.0;
    bool fit_ = false;
    int naturalWidth_ = 0;
    int naturalHeight_ = 0;
    bool resizedSinceShown_ = false;
    bool firstResizeSeen_ = false;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int scrollY_ = 0;
};

}  // namespace qv
