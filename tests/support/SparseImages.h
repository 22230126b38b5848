#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qv::test {

// Writes `count` 35-track images "img00000.d64"... into folder for the benchmarks:
// each has 1 to maxFiles directory entries named by fileName(file, image), and only
// its directory track is written, as a sparse file of full size (a listing reads
// nothing else, so a large collection stays small on disk). The same seed gives the
// same images every run. Returns their paths.
std::vector<std::string> writeSparseImages(const std::string& folder, int count, int maxFiles,
                                           const std::function<std::string(int, int)>& fileName);

}  // namespace qv::test
