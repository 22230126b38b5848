#include "support/GoldenImage.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/Bmp.h"

namespace qv::test {

namespace {

std::vector<std::uint8_t> readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

}  // namespace

::testing::AssertionResult matchesGolden(const Image1& actual,
                                         const std::filesystem::path& golden) {
    std::vector<std::uint8_t> bytes = encodeBmp(actual);
    if (bytes.empty()) {
        return ::testing::AssertionFailure() << "the picture cannot be encoded";
    }
    const char* update = std::getenv("QV_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::filesystem::create_directories(golden.parent_path());
        if (!writeFileBytes(golden.string(), bytes)) {
            return ::testing::AssertionFailure() << "cannot write " << golden;
        }
        return ::testing::AssertionSuccess();
    }
    std::filesystem::path actualPath = golden;
    actualPath.replace_extension(".actual.bmp");
    if (std::filesystem::exists(golden) && readAll(golden) == bytes) {
        std::error_code removed;
        std::filesystem::remove(actualPath, removed);
        return ::testing::AssertionSuccess();
    }
    std::error_code ec;
    std::filesystem::create_directories(actualPath.parent_path(), ec);
    writeFileBytes(actualPath.string(), bytes);
    return ::testing::AssertionFailure()
           << (std::filesystem::exists(golden) ? "picture differs from " : "no golden picture ")
           << golden << "; the actual picture is in " << actualPath;
}

std::optional<Image1> toTwoColour(const Image32& image, std::uint32_t clearColour,
                                  std::uint32_t setColour) {
    Image1 out(image.width, image.height);
    out.palette = {clearColour, setColour};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t p = image.at(x, y);
            if (p == setColour) {
                out.set(x, y, true);
            } else if (p != clearColour) {
                return std::nullopt;
            }
        }
    }
    return out;
}

}  // namespace qv::test
