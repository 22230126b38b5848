#include "support/SparseImages.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "support/DiskBuilder.h"

namespace qv::test {

std::vector<std::string> writeSparseImages(const std::string& folder, int count, int maxFiles,
                                           const std::function<std::string(int, int)>& fileName) {
    std::mt19937 rng(64);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        DiskBuilder d;
        d.format("DISK " + std::to_string(i), "BM");
        const int files = 1 + static_cast<int>(rng() % static_cast<unsigned>(maxFiles));
        for (int f = 0; f < files; ++f) {
            DirEntrySpec e;
            e.typeByte = f % 7 == 0 ? 0x81 : 0x82;
            e.first = {1, 0};
            e.name = petsciiName(fileName(f, i));
            e.blocks = static_cast<int>(rng() % 200);
            d.addEntry(e);
        }
        char name[32];
        std::snprintf(name, sizeof name, "img%05d.d64", i);
        const std::string path = folder + name;
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        const auto& b = d.bytes();
        const std::size_t track18 = kHeaderOffset, length = 19 * 256;
        if (fd < 0 || ::pwrite(fd, b.data() + track18, length, static_cast<off_t>(track18)) < 0 ||
            ::ftruncate(fd, static_cast<off_t>(b.size())) != 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        ::close(fd);
        paths.push_back(path);
    }
    return paths;
}

}  // namespace qv::test
