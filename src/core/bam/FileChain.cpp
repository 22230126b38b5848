#include "bam/FileChain.h"

#include <algorithm>

namespace qv {

std::vector<ChainStep> fileChain(const BlockMap& map, int row) {
    std::vector<ChainStep> steps;
    for (int track = 1; track <= map.trackCount(); ++track) {
        for (int sector = 0; sector < kGridSectors; ++sector) {
            const ChainMark m = map.markAt(row, {track, sector});
            if (m == 0)
                continue;
            ChainStep s{{track, sector}, m, markRecord(m), markPosition(m)};
            if (m & kMarkInfoBlock) {
                // The info block follows the file's own chain, before the first record.
                s.record = 0;
                s.position = 1 << 20;
            } else if (m & kMarkRecordStart) {
                // A record's first block carries the record number as its position.
                s.record = markPosition(m);
                s.position = 1;
            }
            steps.push_back(s);
        }
    }
    std::stable_sort(steps.begin(), steps.end(), [](const ChainStep& a, const ChainStep& b) {
        return a.record != b.record ? a.record < b.record : a.position < b.position;
    });
    return steps;
}

std::string markText(ChainMark m) {
    if (m == 0)
        return {};
    std::string s;
    if (m & kMarkInfoBlock) {
        s = "info block";
    } else if (m & kMarkRecordStart) {
        s = "record " + std::to_string(markPosition(m)) + " block 1";
    } else if (markRecord(m) != 0) {
        s = "record " + std::to_string(markRecord(m)) + " block " + std::to_string(markPosition(m));
    } else {
        s = "block " + std::to_string(markPosition(m));
    }
    if (m & kMarkIllegalLink)
        s += ", illegal link";
    return s;
}

}  // namespace qv
