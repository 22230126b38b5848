#include "image/DiskImage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

// A byte of the test files: different in every block and every position.
std::uint8_t byteAt(std::int64_t offset) {
    return static_cast<std::uint8_t>(offset * 7 + offset / kBlockSize);
}

std::string writeFile(const test::TempDir& dir, const std::string& name, std::int64_t size) {
    std::vector<char> bytes(static_cast<std::size_t>(size));
    for (std::int64_t i = 0; i < size; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(byteAt(i));
    const std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
    return path;
}

// The directory track is read in one piece; every read inside it, across its edges
// and past the end of the file must still give the file's bytes or nothing.
TEST(DiskImage, ReadsGiveTheFileBytesOrNothing) {
    test::TempDir dir;
    constexpr std::int64_t kTrackEnd = kHeaderOffset + 19 * kBlockSize;
    struct Case {
        const char* what;
        std::int64_t size, offset, count;
        bool ok;
    };
    const Case cases[] = {
        {"header block", kSize35, kHeaderOffset, 256, true},
        {"last block of the track", kSize35, kTrackEnd - 256, 256, true},
        {"across the start of the track", kSize35, kHeaderOffset - 10, 20, true},
        {"across the end of the track", kSize35, kTrackEnd - 10, 20, true},
        {"after the track", kSize35, kTrackEnd + 300, 256, true},
        {"last byte", kSize35, kSize35 - 1, 1, true},
        {"past the end", kSize35, kSize35 - 1, 2, false},
        {"nothing at the end", kSize35, kSize35, 0, true},
        {"negative offset", kSize35, -1, 1, false},
        {"file ending in the track: its header", kHeaderOffset + 300, kHeaderOffset, 256, true},
        {"file ending in the track: the block it cuts", kHeaderOffset + 300, kHeaderOffset + 256,
         256, false},
        {"file ending in the track: its last bytes", kHeaderOffset + 300, kHeaderOffset + 256, 44,
         true},
    };
    for (const Case& c : cases) {
        const std::string path = writeFile(dir, "t.d64", c.size);
        std::optional<DiskImage> image = DiskImage::open(path);
        ASSERT_TRUE(image) << c.what;
        EXPECT_EQ(image->size(), c.size) << c.what;
        // A read of the track first, so the later read may come from it.
        std::vector<std::uint8_t> warm(256);
        (void)image->readAt(kHeaderOffset, warm);
        std::vector<std::uint8_t> out(static_cast<std::size_t>(c.count), 0x55);
        EXPECT_EQ(image->readAt(c.offset, out), c.ok) << c.what;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const std::uint8_t expected =
                c.ok ? byteAt(c.offset + static_cast<std::int64_t>(i)) : 0;
            ASSERT_EQ(out[i], expected) << c.what << " at " << i;
        }
    }
}

TEST(DiskImage, ByteReadsAndBlocks) {
    test::TempDir dir;
    std::optional<DiskImage> image = DiskImage::open(writeFile(dir, "t.d64", kSize35));
    ASSERT_TRUE(image);
    image->setDosType(kDosStandard);
    image->seek(kHeaderOffset + 255);
    EXPECT_EQ(image->readByte(), byteAt(kHeaderOffset + 255));
    EXPECT_EQ(image->readByte(), byteAt(kHeaderOffset + 256));
    EXPECT_EQ(image->tell(), kHeaderOffset + 257);
    image->seek(kSize35);
    EXPECT_EQ(image->readByte(), -1);
    EXPECT_EQ(image->tell(), kSize35 + 1);

    const std::optional<Block> block = image->readBlock({18, 1});
    ASSERT_TRUE(block);
    EXPECT_EQ((*block)[0], byteAt(kFirstDirOffset));
    EXPECT_EQ((*block)[255], byteAt(kFirstDirOffset + 255));
    EXPECT_FALSE(image->readBlock({36, 0}));  // beyond 35 tracks
    EXPECT_FALSE(image->readBlock({0, 0}));

    // A moved image reads on; the one moved from holds no file.
    DiskImage moved = std::move(*image);
    EXPECT_TRUE(moved.readBlock({18, 1}));
    EXPECT_TRUE(moved.readBlock({1, 0}));
}

TEST(DiskImage, OpenFailures) {
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(DiskImage::open(dir.file("missing.d64"), &error));
    EXPECT_EQ(error, "no such file");
    EXPECT_FALSE(DiskImage::open(dir.path(), &error));
    EXPECT_EQ(error, "is a folder");
    EXPECT_FALSE(DiskImage::open(dir.file("missing/x.d64"), &error));
    EXPECT_EQ(error, "no such file");
}

}  // namespace
}  // namespace qv
