// The start-up self-check: any changed byte, a missing stamp or a file that
// is not a whole PE image fails it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/integrity.h"

namespace {

const size_t kPe = 0x80;              // where the DOS header points
const size_t kAt = kPe + 4 + 20 + 64;  // the checksum field

// A small image with the headers the check reads and varied bytes elsewhere,
// stamped as the build stamps the program.
std::vector<unsigned char> StampedImage(size_t size)
{
    std::vector<unsigned char> image(size);
    for (size_t k = 0; k < size; ++k)
        image[k] = (unsigned char)(k * 37 + 11);
    image[0] = 'M';
    image[1] = 'Z';
    memset(&image[0x3C], 0, 4);
    image[0x3C] = (unsigned char)kPe;
    memcpy(&image[kPe], "PE\0\0", 4);
    size_t at = PeChecksumOffset(image.data(), image.size());
    EXPECT_EQ(kAt, at);
    uint32_t sum = PeComputeChecksum(image.data(), image.size(), at);
    for (int b = 0; b < 4; ++b)
        image[at + b] = (unsigned char)(sum >> (8 * b));
    return image;
}

TEST(Integrity, AStampedImagePassesWhateverItsLength)
{
    for (size_t size : {0x200u, 0x201u, 0x1000u}) {
        std::vector<unsigned char> image = StampedImage(size);
        EXPECT_EQ(1, PeChecksumValid(image.data(), image.size())) << size << " bytes";
    }
}

struct Damage {
    const char* name;
    size_t offset;  // byte to flip; the last byte when beyond the image
};

TEST(Integrity, OneFlippedByteAnywhereFails)
{
    const Damage kDamage[] = {
        {"DOS header", 2},          {"DOS header's pointer", 0x3C}, {"PE signature", kPe + 1},
        {"file header", kPe + 6},   {"checksum field", kAt + 1},     {"checksum field, top", kAt + 3},
        {"word after the checksum", kAt + 4}, {"body", 0x150},       {"last byte", ~(size_t)0},
    };
    for (size_t size : {0x200u, 0x201u}) {
        for (const Damage& d : kDamage) {
            std::vector<unsigned char> image = StampedImage(size);
            size_t k = d.offset < size ? d.offset : size - 1;
            for (int bit = 0; bit < 8; ++bit) {
                image[k] ^= (unsigned char)(1 << bit);
                EXPECT_EQ(0, PeChecksumValid(image.data(), image.size()))
                    << d.name << ", bit " << bit << ", " << size << " bytes";
                image[k] ^= (unsigned char)(1 << bit);
            }
        }
    }
}

TEST(Integrity, UnstampedTruncatedAndForeignFilesFail)
{
    std::vector<unsigned char> image = StampedImage(0x200);

    std::vector<unsigned char> unstamped = image;
    memset(&unstamped[kAt], 0, 4);
    EXPECT_EQ(0, PeChecksumValid(unstamped.data(), unstamped.size())) << "stored checksum 0";

    // Each cut on a heap block of exactly its size, so a read past the end shows.
    const size_t kCuts[] = {0x1FF, kAt + 4, kAt + 3, kAt + 1, kPe + 4, 0x40, 0x3F, 2, 0};
    for (size_t size : kCuts) {
        std::vector<unsigned char> cut(image.begin(), image.begin() + size);
        EXPECT_EQ(0, PeChecksumValid(cut.data(), size)) << "cut to " << size << " bytes";
    }

    std::vector<unsigned char> far = image;
    memset(&far[0x3C], 0xFF, 4);  // points past the end, and past 4 GiB
    EXPECT_EQ(0u, PeChecksumOffset(far.data(), far.size()));
    EXPECT_EQ(0, PeChecksumValid(far.data(), far.size()));

    std::string text(0x200, 'x');
    EXPECT_EQ(0, PeChecksumValid((const unsigned char*)text.data(), text.size())) << "text";
    std::vector<unsigned char> noSignature = image;
    noSignature[kPe] = 'N';
    EXPECT_EQ(0u, PeChecksumOffset(noSignature.data(), noSignature.size()));
}

}  // namespace
