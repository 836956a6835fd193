#include "app/integrity.h"

#include <cstring>

static uint32_t ReadLE32(const unsigned char* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

size_t PeChecksumOffset(const unsigned char* image, size_t size)
{
    if (size < 0x40 || image[0] != 'M' || image[1] != 'Z')
        return 0;
    uint32_t pe = ReadLE32(image + 0x3C);
    // signature (4), file header (20), then the optional header whose
    // checksum sits at 64 for both PE32 and PE32+.
    if (pe > size || size - pe < 4 + 20 + 68)
        return 0;
    if (memcmp(image + pe, "PE\0\0", 4) != 0)
        return 0;
    return pe + 4 + 20 + 64;
}

uint32_t PeComputeChecksum(const unsigned char* image, size_t size, size_t checksumOffset)
{
    uint64_t sum = 0;
    for (size_t k = 0; k < size; k += 2) {
        uint32_t word = image[k];
        if (k + 1 < size)
            word |= (uint32_t)image[k + 1] << 8;
        if (k >= checksumOffset && k < checksumOffset + 4)
            word = 0;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return (uint32_t)sum + (uint32_t)size;
}

int PeChecksumValid(const unsigned char* image, size_t size)
{
    size_t at = PeChecksumOffset(image, size);
    if (!at)
        return 0;
    uint32_t stored = ReadLE32(image + at);
    return stored != 0 && stored == PeComputeChecksum(image, size, at);
}
