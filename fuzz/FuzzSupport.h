#pragma once

// What every fuzz target shares: reading option bytes off the front of an input, the
// packed form of a disk image the image targets take, and the file an engine reader
// that wants a path is handed.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "support/ScriptedDialogHost.h"

namespace qv {
struct ListerOptions;
}

namespace qv::fuzz {

using Bytes = std::vector<std::uint8_t>;

// The input, consumed from the front: option bytes first, the rest for the reader.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data, size) {}
    // The next byte, or 0 once the input is used up.
    std::uint8_t take() { return data_.empty() ? 0 : takeOne(); }
    bool bit(std::uint8_t byte, int n) const { return (byte >> n) & 1; }
    std::span<const std::uint8_t> rest() const { return data_; }
    std::string restText() const { return {data_.begin(), data_.end()}; }

  private:
    std::uint8_t takeOne() {
        const std::uint8_t b = data_.front();
        data_ = data_.subspan(1);
        return b;
    }
    std::span<const std::uint8_t> data_;
};

// A disk image in packed form, small enough for a fuzzer to work on: one selector byte
// (its low two bits pick one of the four image sizes, bit 2 makes the payload's own
// length the size instead), then the directory track (track 18, 19 blocks), then the
// rest of the image in file order. What is missing is zero.
Bytes unpackImage(std::uint8_t sizeSelector, std::span<const std::uint8_t> payload);
// The packed payload of a whole image, its trailing zero bytes dropped, and the
// selector for its size (for the seed maker).
Bytes packImage(const Bytes& image);
std::uint8_t sizeSelectorFor(std::size_t imageSize);

// An image of the packed input: its option bytes a and b, the file written for the
// readers, the addressing mode of its size and the first block of the file in
// directory slot 0 (as a byte offset, -1 when the address is illegal).
struct ImageInput {
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    std::string path;
    int dosType = 0;
    int firstFileOffset = -1;
};
// Reads option bytes a and b and the packed image, and writes it to the input file.
ImageInput imageInput(Input& in, const std::string& extension = ".d64");

// The file of this process that an input is written to before a reader opens it.
const std::string& writeInputFile(std::span<const std::uint8_t> bytes,
                                  const std::string& extension);

// Scripted answers for every question and error dialog, picked by one option byte:
// bits 0-1 the error dialog's button (0 its default, 1-3 that result), bits 2-3 the
// question result (0 Escape, 1-3), bit 4 "Don't ask me again".
void scriptAnswers(test::ScriptedDialogHost& host, std::uint8_t choice);

// The listing options an image target reads from its option byte a: bit 0 "Show
// deleted files", 1 abort at 0x00, 2 more than 144 files, 3 40 tracks, 4 autodetection,
// 5 convert everything, 6 GEOS conversion, 7 the German GEOS letters; bit 7 of the
// answer byte b picks DolphinDOS instead of SpeedDOS for undetected 40-track images.
void setListerOptions(ListerOptions& options, std::uint8_t a, std::uint8_t b);

}  // namespace qv::fuzz
