// pestamp FILE: writes the PE header checksum of FILE into its header, so
// that the program's start-up self-check passes on every build whatever the
// linker did. Run as the last step after linking.
#include <cstdio>
#include <vector>

#include "app/integrity.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: pestamp FILE\n");
        return 2;
    }
    FILE* f = fopen(argv[1], "r+b");
    if (!f) {
        perror(argv[1]);
        return 1;
    }
    std::vector<unsigned char> image;
    unsigned char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, f)) > 0)
        image.insert(image.end(), chunk, chunk + got);
    size_t at = PeChecksumOffset(image.data(), image.size());
    if (!at) {
        fprintf(stderr, "%s: not a PE image\n", argv[1]);
        fclose(f);
        return 1;
    }
    uint32_t sum = PeComputeChecksum(image.data(), image.size(), at);
    unsigned char bytes[4] = {(unsigned char)sum, (unsigned char)(sum >> 8),
                              (unsigned char)(sum >> 16), (unsigned char)(sum >> 24)};
    if (fseek(f, (long)at, SEEK_SET) != 0 || fwrite(bytes, 1, 4, f) != 4 || fclose(f) != 0) {
        fprintf(stderr, "%s: cannot write the checksum\n", argv[1]);
        return 1;
    }
    return 0;
}
