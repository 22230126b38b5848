// A photo scrap: the sequential file in directory slot 0, decoded into the font window.
#include "GeosFuzz.h"
#include "geos/FontView.h"
#include "geos/PhotoScrap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qv::fuzz::Input in(data, size);
    const qv::fuzz::ImageInput image = qv::fuzz::imageInput(in);
    qv::fuzz::GeosTarget t(image);
    qv::FontView view;
    view.monochromeScrap = image.a & 1;
    (void)qv::decodeScrap(view, t.context, image.path, "SCRAP", image.firstFileOffset);
    return 0;
}
