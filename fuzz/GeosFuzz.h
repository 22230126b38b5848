#pragma once

// The reader context of the GEOS document targets, with answers and options taken
// from the input's option bytes.
#include "FuzzSupport.h"
#include "geos/GeosReader.h"
#include "host/Dialogs.h"
#include "settings/ListerOptions.h"

namespace qv::fuzz {

struct GeosTarget {
    test::ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    GeosReaderContext context{dialogs, options};

    explicit GeosTarget(const ImageInput& image) {
        scriptAnswers(host, image.b);
        setListerOptions(options, image.a, image.b);
    }
};

}  // namespace qv::fuzz
