// A GeoPaint document: the VLIR file in directory slot 0, decoded and drawn.
#include "GeosFuzz.h"
#include "geos/GeoPaint.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qv::fuzz::Input in(data, size);
    const qv::fuzz::ImageInput image = qv::fuzz::imageInput(in);
    qv::fuzz::GeosTarget t(image);
    (void)qv::decodeGeoPaintPicture(t.context, image.path, "PIC", image.firstFileOffset,
                                    image.a & 1);
    return 0;
}
