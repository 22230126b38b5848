#include "geos/ViewerPicture.h"

#include <algorithm>

#include "geos/GeosReader.h"
#include "host/Dialogs.h"
#include "support/Bmp.h"
#include "support/Png.h"
#include "support/Text.h"

namespace qv {

PictureFormat viewerPictureFormat(const std::string& path, int filterIndex) {
    const std::string upper = upperAscii(path);
    auto endsWith = [&](const char* ext) {
        const std::string e(ext);
        return upper.size() >= e.size() && upper.compare(upper.size() - e.size(), e.size(), e) == 0;
    };
    if (endsWith(".PNG"))
        return PictureFormat::Png;
    if (endsWith(".BMP"))
        return PictureFormat::Bmp;
    return filterIndex == 1 ? PictureFormat::Png : PictureFormat::Bmp;
}

bool saveViewerPicture(Dialogs& dialogs, const std::string& module, const std::string& path,
                       const Image32& picture, PictureFormat format) {
    const bool ok = format == PictureFormat::Png ? savePng(path, picture) : saveBmp(path, picture);
    if (!ok)
        dialogs.showError(module, path, "", "Error while creating Save File...", kFlagsOkError);
    return ok;
}

Image32 iconViewPicture(const IconList& icons, int index) {
    const int w = kGeosIconWidth * kIconViewScale;
    const int h = kGeosIconHeight * kIconViewScale;
    Image32 out(w, h, 0xFFFFFF);
    if (index < 0 || index >= icons.size())
        return out;
    const Image1 big = enlarge(icons.at(index), kIconViewScale);
    for (int y = 0; y < std::min(h, big.height); ++y) {
        for (int x = 0; x < std::min(w, big.width); ++x)
            out.at(x, y) = big.palette[big.get(x, y) ? 1 : 0];
    }
    return out;
}

}  // namespace qv
