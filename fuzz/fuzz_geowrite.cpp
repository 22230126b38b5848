// A GeoWrite document: the VLIR file in directory slot 0, converted in the layout its
// class names and written as RTF.
#include "GeosFuzz.h"
#include "geos/GeoWrite.h"
#include "support/RtfWriter.h"

namespace {
const char* const kClasses[] = {"Write Image V1.1", "Write Image V2.0", "Write Image V2.1",
                                "Write Image V2.1"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv;
    fuzz::Input in(data, size);
    const std::uint8_t choice = in.take();
    const fuzz::ImageInput image = fuzz::imageInput(in);
    fuzz::GeosTarget t(image);
    GeoWriteView view;
    GeoWriteOptions& o = view.options;
    o.scrapNewlines = static_cast<ScrapNewlines>(choice & 3);
    o.scaleImage21 = (choice >> 2) & 1;
    o.showPrintColours = (choice >> 3) & 1;
    o.showFontId = (choice >> 4) & 1;
    o.useFontTable = o.hasFontTable = (choice >> 5) & 1;
    o.fontTable = {{0, "Courier New"}, {5, "Arial"}};
    o.paperA4 = (choice >> 6) & 1;
    o.monochromeScraps = (choice >> 7) & 1;
    // A title page is marked by a blank after the offset.
    const std::string offset = std::to_string(image.firstFileOffset) + ((image.a & 1) ? " " : "");
    view.convertGeoWrite(t.context, image.path, "DOC", offset, kClasses[(image.a >> 1) & 3]);
    (void)writeRtf(view.document());
    return 0;
}
