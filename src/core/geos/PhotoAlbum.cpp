#include "geos/PhotoAlbum.h"

#include <algorithm>

#include "geos/FontView.h"
#include "geos/GeosFile.h"
#include "geos/PhotoScrap.h"
#include "host/Dialogs.h"
#include "image/Chain.h"
#include "settings/ListerOptions.h"
#include "support/GeosText.h"
#include "support/Text.h"

namespace qv {
namespace {

const char* const kModule = "PhotoAlbum";
constexpr int kAlbumRecords = 127;

}  // namespace

int PhotoAlbum::versionFromClass(const std::string& classText) {
    return contains(upperAscii(classText), "PHOTO ALBUM V1") ? 1 : 2;
}

void PhotoAlbum::readTitles(GeosReaderContext& context, DiskImage& image) {
    const GeosTextOptions letters = geosTextOptions(context.options);
    std::string current;
    bool previousEnded = false;  // the byte before was a 0 that ended a title
    const ChainResult chain =
        walkChain(image, pointers_.back(), dosType_, [&](const ChainBlock& block) {
            for (const std::uint8_t b : block.data) {
                if (b == 0) {
                    if (!previousEnded)
                        titles_.push_back(current);
                    current.clear();
                    previousEnded = true;
                    continue;
                }
                previousEnded = false;
                if (b >= 32 && b <= 127 && b != '@') {
                    current.push_back(static_cast<char>(
                        convertGeosChar(b, letters, GeosTextTarget::Windows1252)));
                }
            }
            return true;
        });
    if (chain.end == ChainEnd::IllegalLink) {
        context.dialogs.showError(kModule, imagePath_, fileName_,
                                  "Error reading Titles!\nFile corrupt!", kFlagsOkOnly);
        version = 1;
    }
}

int PhotoAlbum::loadAlbum(FontView& view, GeosReaderContext& context, const std::string& imagePath,
                          const std::string& fileName, int indexBlockOffset) {
    imagePath_ = imagePath;
    fileName_ = fileName;
    lastScrap_ = -1;
    current_ = 0;
    titles_.clear();
    pointers_.clear();
    monochrome = view.monochromeScrap;
    std::optional<DiskImage> image = openGeosImage(context, kModule, imagePath);
    if (!image)
        return 1;
    dosType_ = image->dosType();
    pointers_ = keptRecordPointers(*image, indexBlockOffset, kAlbumRecords, true);
    lastScrap_ = static_cast<int>(pointers_.size()) - 1;
    if (version == 2 && !pointers_.empty()) {
        readTitles(context, *image);
        --lastScrap_;  // the titles record is not a scrap
    }
    if (static_cast<int>(titles_.size()) != scrapCount())
        version = 1;
    return 0;
}

std::string PhotoAlbum::currentTitle() const {
    if (version != 2 || current_ < 0 || current_ >= static_cast<int>(titles_.size()))
        return {};
    return titles_[static_cast<std::size_t>(current_)];
}

int PhotoAlbum::showAlbumScrap(FontView& view, GeosReaderContext& context, int i) {
    if (i < 0 || i > lastScrap_)
        return 1;
    const TrackSector p = pointers_[static_cast<std::size_t>(i)];
    const int offset = blockOffset(p, dosType_);
    if (offset < 0) {
        context.dialogs.showError("PaintPhotoAlbumScrap", imagePath_, fileName_,
                                  illegalAddressText(p) + " in VLIR Record: " +
                                      std::to_string(i + 1) + "\nVLIR corrupt!\n",
                                  kFlagsOkOnly);
        return 1;
    }
    if (decodeScrap(view, context, imagePath_, fileName_, offset) != 0)
        return 1;
    current_ = i;
    caption = std::to_string(i + 1) + "/" + std::to_string(scrapCount());
    label = version == 2 ? titles_[static_cast<std::size_t>(i)] : "No Titles...";
    picture_ = view.picture();
    layoutPanel(true);
    hint = "Size: " + std::to_string(picture_.width) + "x" + std::to_string(picture_.height);
    return 0;
}

int PhotoAlbum::nextScrap(FontView& view, GeosReaderContext& context) {
    if (lastScrap_ < 0)
        return 1;
    current_ = current_ >= lastScrap_ ? 0 : current_ + 1;
    return showAlbumScrap(view, context, current_);
}

int PhotoAlbum::previousScrap(FontView& view, GeosReaderContext& context) {
    if (lastScrap_ < 0)
        return 1;
    current_ = current_ <= 0 ? lastScrap_ : current_ - 1;
    return showAlbumScrap(view, context, current_);
}

int PhotoAlbum::toggleMonochrome(FontView& view, GeosReaderContext& context) {
    monochrome = !monochrome;
    view.monochromeScrap = monochrome;
    return showAlbumScrap(view, context, current_);
}

void PhotoAlbum::layoutPanel(bool growWindow) {
    if (fitToWindow) {
        panelWidth_ = clientWidth_ - 4;
        panelHeight_ = clientHeight_ - buttonPanelHeight - 4;
        return;
    }
    panelWidth_ = static_cast<int>(picture_.width * zoom_);
    panelHeight_ = static_cast<int>(picture_.height * zoom_);
    if (growWindow) {
        clientWidth_ = std::max(clientWidth_, panelWidth_ + 4);
        clientHeight_ = std::max(clientHeight_, panelHeight_ + buttonPanelHeight + 4);
    }
}

void PhotoAlbum::zoom100() {
    fitToWindow = false;
    zoom_ = 1.0;
    layoutPanel(false);
    clientWidth_ = panelWidth_ + 4;
    clientHeight_ = panelHeight_ + buttonPanelHeight + 4;
}

void PhotoAlbum::zoomIn() {
    fitToWindow = false;
    zoom_ += 0.5;
    layoutPanel(true);
}

void PhotoAlbum::zoomOut() {
    fitToWindow = false;
    if (zoom_ > 0.5)
        zoom_ -= 0.5;
    layoutPanel(false);
}

void PhotoAlbum::toggleFitToWindow() {
    fitToWindow = !fitToWindow;
    layoutPanel(false);
    hint = "Size: " + std::to_string(picture_.width) + "x" + std::to_string(picture_.height);
}

void PhotoAlbum::resized(int clientWidth, int clientHeight) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    if (fitToWindow)
        layoutPanel(false);
}

void PhotoAlbum::shown() {
    clientWidth_ = panelWidth_ + 4;
    clientHeight_ = panelHeight_ + buttonPanelHeight + 4;
}

}  // namespace qv
