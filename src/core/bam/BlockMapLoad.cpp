#include "bam/BlockMapLoad.h"

#include <filesystem>
#include <system_error>

#include "settings/ListerOptions.h"

namespace qv {

MapLoadResult loadBlockMap(BlockMap& map, const std::string& path, BlockMapContext& context,
                           bool owners, Dialogs* walkDialogs) {
    MapLoadResult r;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return r;
    if (owners && !map.allocateOwners(context.options.maxFiles, context.dialogs)) {
        r.outcome = MapLoadOutcome::NoOwnerGrids;
        return r;
    }
    if (!map.loadBam(path, context)) {
        r.outcome = MapLoadOutcome::NotOpened;
        return r;
    }
    if (map.dosType() == kDosUnusable) {
        r.outcome = MapLoadOutcome::Unusable;
        return r;
    }
    r.outcome = MapLoadOutcome::Loaded;
    if (owners) {
        map.loadErrors(path, context.dialogs);
        BlockMapContext walk{context.options, walkDialogs ? *walkDialogs : context.dialogs,
                             context.charMode};
        r.walk = map.showOwner(path, walk);
    }
    return r;
}

}  // namespace qv
