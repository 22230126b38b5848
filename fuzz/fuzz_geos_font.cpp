// A GEOS font: the VLIR file in directory slot 0, every point size drawn on the sheet.
#include "GeosFuzz.h"
#include "geos/FontView.h"
#include "geos/GeosFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qv::fuzz::Input in(data, size);
    const qv::fuzz::ImageInput image = qv::fuzz::imageInput(in);
    qv::fuzz::GeosTarget t(image);
    qv::FontView view;
    view.spaceBetweenChars = image.a & 1;
    view.showGrid = image.a & 2;
    (void)qv::renderFont(view, t.context, image.path, "FONT", image.firstFileOffset);
    return 0;
}
