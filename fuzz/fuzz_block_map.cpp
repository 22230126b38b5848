// The block map of an image: BAM, error codes, the owner walk over every file and
// VLIR record, the chain marks, and the extraction of every file.
#include "FuzzSupport.h"
#include "bam/BlockMap.h"
#include "bam/Extraction.h"
#include "host/Dialogs.h"
#include "settings/ListerOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv;
    fuzz::Input in(data, size);
    const fuzz::ImageInput image = fuzz::imageInput(in);
    test::ScriptedDialogHost host;
    fuzz::scriptAnswers(host, image.b);
    Dialogs dialogs(host);
    ListerOptions options;
    fuzz::setListerOptions(options, image.a, image.b);
    BlockMapContext context{options, dialogs};
    context.charMode = (image.b & 0x80) ? CharMode::UpperLower : CharMode::UpperGraphics;
    BlockMap map;
    map.allocateOwners(options.maxFiles, dialogs);
    if (!map.loadBam(image.path, context))
        return 0;
    map.loadErrors(image.path, dialogs);
    map.showOwner(image.path, context);
    for (int row = 0; row < map.rowCount(); ++row) {
        for (const ExtractMode mode : {ExtractMode::View, ExtractMode::Program})
            (void)extractFile(map, row, mode, dialogs);
        // Along the chain from its first block and back, as the chain buttons do.
        if (const auto first = map.findMark(row, 1)) {
            std::optional<TrackSector> at = first;
            for (int step = 0; at && step < 800; ++step)
                at = map.neighbour(row, *at, ChainDirection::Forward);
            (void)map.neighbour(row, *first, ChainDirection::Backward);
            (void)map.ownersOf(*first);
        }
    }
    return 0;
}
