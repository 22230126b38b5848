#include "geos/FontView.h"

#include <algorithm>

#include "geos/GeosFont.h"
#include "geos/PhotoScrap.h"

namespace qv {

void FontView::setPicture(Image32 picture, FontViewContent content, const std::string& imagePath,
                          const std::string& fileName, int fileOffset) {
    picture_ = std::move(picture);
    content_ = content;
    imagePath_ = imagePath;
    fileName_ = fileName;
    fileOffset_ = fileOffset;
    // A picture drawn again (another option) keeps the zoom and takes its own size.
    naturalWidth_ = picture_.width;
    naturalHeight_ = picture_.height;
    scrollY_ = 0;
    fitClientToPicture();
}

void FontView::fitClientToPicture() {
    clientWidth_ = std::min(picture_.width, screenWidth);
    clientHeight_ = std::min(picture_.height, screenHeight);
}

void FontView::shown() {
    zoom_ = 1.0;
    naturalWidth_ = picture_.width;
    naturalHeight_ = picture_.height;
    resizedSinceShown_ = false;
}

void FontView::resized(int clientWidth, int clientHeight) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    if (firstResizeSeen_)
        resizedSinceShown_ = true;
    firstResizeSeen_ = true;
}

void FontView::zoom100() {
    const bool wasFit = fit_;
    fit_ = false;
    if (zoom_ == 1.0 && !wasFit)
        return;
    zoom_ = 1.0;
    if (!resizedSinceShown_)
        fitClientToPicture();
}

void FontView::zoomIn() {
    if (zoom_ + 0.25 == 1.0) {
        zoom100();
        return;
    }
    fit_ = false;
    zoom_ += 0.25;
}

void FontView::zoomOut() {
    if (zoom_ - 0.25 == 1.0) {
        zoom100();
        return;
    }
    fit_ = false;
    if (zoom_ > 0.25)
        zoom_ -= 0.25;
}

void FontView::toggleFitToWindow() {
    fit_ = !fit_;
}

int FontView::shownWidth() const {
    return fit_ ? clientWidth_ : static_cast<int>(naturalWidth_ * zoom_);
}

int FontView::shownHeight() const {
    return fit_ ? clientHeight_ : static_cast<int>(naturalHeight_ * zoom_);
}

int FontView::redraw(GeosReaderContext& context) {
    const std::string path = imagePath_;
    const std::string name = fileName_;
    switch (content_) {
        case FontViewContent::Font:
            return renderFont(*this, context, path, name, fileOffset_);
        case FontViewContent::Scrap:
            return decodeScrap(*this, context, path, name, fileOffset_);
        default:
            return 1;
    }
}

int FontView::toggleSpaceBetweenChars(GeosReaderContext& context) {
    spaceBetweenChars = !spaceBetweenChars;
    return content_ == FontViewContent::Font ? redraw(context) : 1;
}

int FontView::toggleShowGrid(GeosReaderContext& context) {
    showGrid = !showGrid;
    return content_ == FontViewContent::Font ? redraw(context) : 1;
}

int FontView::toggleMonochromeScrap(GeosReaderContext& context) {
    monochromeScrap = !monochromeScrap;
    return content_ == FontViewContent::Scrap ? redraw(context) : 1;
}

void FontView::wheel(int notches) {
    const int maxY = std::max(0, shownHeight() - clientHeight_);
    scrollY_ = std::clamp(scrollY_ - notches * 8 * wheelStep, 0, maxY);
}

}  // namespace qv
