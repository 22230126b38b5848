#include "FuzzSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "image/DiskImage.h"
#include "image/Geometry.h"
#include "settings/ListerOptions.h"

namespace qv::fuzz {
namespace {

constexpr std::size_t kTrack18Bytes = 19 * kBlockSize;
constexpr std::size_t kSizes[] = {kSize35, kSize35Errors, kSize40, kSize40Errors};

// Where byte i of the payload goes in the image.
std::size_t imageOffset(std::size_t i) {
    if (i < kTrack18Bytes)
        return kHeaderOffset + i;
    i -= kTrack18Bytes;
    return i < std::size_t{kHeaderOffset} ? i : i + kTrack18Bytes;
}

}  // namespace

Bytes unpackImage(std::uint8_t sizeSelector, std::span<const std::uint8_t> payload) {
    const std::size_t size = (sizeSelector & 4)
                                 ? std::min(payload.size(), std::size_t{kMaxImageSize} + 1)
                                 : kSizes[sizeSelector & 3];
    Bytes image(size, 0);
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const std::size_t at = imageOffset(i);
        if (at < size)
            image[at] = payload[i];
    }
    return image;
}

Bytes packImage(const Bytes& image) {
    Bytes packed;
    for (std::size_t i = 0; i < image.size(); ++i) {
        const std::size_t at = imageOffset(i);
        packed.push_back(at < image.size() ? image[at] : 0);
    }
    while (!packed.empty() && packed.back() == 0)
        packed.pop_back();
    return packed;
}

std::uint8_t sizeSelectorFor(std::size_t imageSize) {
    for (std::uint8_t i = 0; i < 4; ++i) {
        if (kSizes[i] == imageSize)
            return i;
    }
    return 4;
}

ImageInput imageInput(Input& in, const std::string& extension) {
    ImageInput r;
    r.a = in.take();
    r.b = in.take();
    const std::uint8_t selector = in.take();
    const Bytes image = unpackImage(selector, in.rest());
    r.path = writeInputFile(image, extension);
    r.dosType = image.size() >= std::size_t{kSize40} ? kDosSpeedDos : kDosStandard;
    if (image.size() >= std::size_t{kFirstDirOffset} + 5) {
        const TrackSector first{image[kFirstDirOffset + 3], image[kFirstDirOffset + 4]};
        r.firstFileOffset = blockOffset(first, r.dosType);
    }
    return r;
}

const std::string& writeInputFile(std::span<const std::uint8_t> bytes,
                                  const std::string& extension) {
    static const std::string folder = [] {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("quorvane-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        return dir.string() + "/";
    }();
    static std::string path;
    path = folder + "input" + extension;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

void scriptAnswers(test::ScriptedDialogHost& host, std::uint8_t choice) {
    host.defaultErrorAnswer = choice & 3;
    const int question = (choice >> 2) & 3;
    if (question != 0) {
        for (int i = 0; i < 64; ++i)
            host.questionAnswers.push_back({question, i % 5, false, ((choice >> 4) & 1) != 0});
    }
    host.okCancelAnswers.assign(64, ((choice >> 5) & 1) == 0);
    host.messageAnswers.assign(64, (choice >> 6) & 1 ? MessageAnswer::No : MessageAnswer::Yes);
}

void setListerOptions(ListerOptions& options, std::uint8_t a, std::uint8_t b) {
    options.showDeletedFiles = a & 1;
    options.abortImageAt0x00 = (a >> 1) & 1;
    options.allowMoreThan144Files = (a >> 2) & 1;
    options.enable40Tracks = (a >> 3) & 1;
    options.autoDetectMode = (a >> 4) & 1;
    options.convertEverything = (a >> 5) & 1;
    options.autoGeosConversion = options.convertGeosDisknames = (a >> 6) & 1;
    options.umlaute = options.eszett = options.paragraph = (a >> 7) & 1;
    options.fortyTrackType = (b >> 7) & 1 ? 2 : 1;
    options.recomputeLimits();
}

}  // namespace qv::fuzz
