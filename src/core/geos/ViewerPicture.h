#pragma once

#include <string>

#include "geos/IconList.h"
#include "screen/C64Screen.h"
#include "support/Image.h"

namespace qv {

class Dialogs;

// "Save as..." of the GEOS picture viewers: the Windows bitmap the viewers have always
// written, and PNG besides it. The GeoPaint and album windows name their filters in
// upper case, the font window in lower case.
inline constexpr const char* kGeoPaintSaveFilter = "Bitmap (*.BMP)|*.BMP|PNG (*.PNG)|*.PNG";
inline constexpr const char* kFontSaveFilter = "Bitmap (*.bmp)|*.bmp|PNG (*.png)|*.png";

// The format to write: a file name ending in ".png" or ".bmp" (any case) says so itself;
// otherwise the chosen filter (0-based) does, the bitmap for any index but 1.
PictureFormat viewerPictureFormat(const std::string& path, int filterIndex);

// Writes the picture; a picture that cannot be written shows "Error while creating Save
// File..." under the window's module name with the path, and gives false.
bool saveViewerPicture(Dialogs& dialogs, const std::string& module, const std::string& path,
                       const Image32& picture, PictureFormat format);

// The icon a row without a viewer shows: enlarged eight times to 192 x 168 pixels,
// pixel for pixel; a row without an icon (index -1 or beyond the list) shows white.
inline constexpr int kIconViewScale = 8;
Image32 iconViewPicture(const IconList& icons, int index);

}  // namespace qv
