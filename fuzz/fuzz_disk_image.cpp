// A disk image as the listing reads it: the extension check, variant detection with
// its questions, the header and the directory, and the listing text in both
// character modes.
#include "FuzzSupport.h"
#include "host/Dialogs.h"
#include "listing/ListingRun.h"
#include "settings/ListerOptions.h"

namespace {
const char* const kExtensions[] = {".d64", ".D64", ".prg", ".d64x"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv;
    fuzz::Input in(data, size);
    const std::uint8_t extension = in.take();
    const fuzz::ImageInput image = fuzz::imageInput(in, kExtensions[extension & 3]);
    for (const CharMode mode : {CharMode::UpperGraphics, CharMode::UpperLower}) {
        test::ScriptedDialogHost host;
        fuzz::scriptAnswers(host, image.b);
        Dialogs dialogs(host);
        ListerOptions options;
        fuzz::setListerOptions(options, image.a, image.b);
        options.generateHeader = (extension >> 2) & 1;
        Listing listing(options, dialogs);
        listing.mode = mode;
        listing.fileList = {image.path};
        listing.listFiles(qv::RunKind::Load);
        listing.listAgain();
    }
    return 0;
}
