// A photo album: the VLIR file in directory slot 0, its index, its titles (version 2)
// and every scrap, then paging through them.
#include "GeosFuzz.h"
#include "geos/FontView.h"
#include "geos/PhotoAlbum.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qv::fuzz::Input in(data, size);
    const qv::fuzz::ImageInput image = qv::fuzz::imageInput(in);
    qv::fuzz::GeosTarget t(image);
    qv::FontView view;
    qv::PhotoAlbum album;
    album.version = (image.a & 1) ? 1 : 2;
    if (album.loadAlbum(view, t.context, image.path, "ALBUM", image.firstFileOffset) != 0)
        return 0;
    for (int i = 0; i < album.scrapCount(); ++i)
        album.showAlbumScrap(view, t.context, i);
    album.nextScrap(view, t.context);
    album.previousScrap(view, t.context);
    return 0;
}
