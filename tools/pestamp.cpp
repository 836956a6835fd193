// pestamp FILE: writes the PE header checksum of FILE into its header, so
// that the program's start-up self-check passes on every build whatever the
// linker did. Run as the last step after linking.
// pestamp --check FILE: exit status 0 when the program's own self-check
// would accept FILE.
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/integrity.h"

int main(int argc, char** argv)
{
    bool check = argc == 3 && strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !check) {
        fprintf(stderr, "usage: pestamp [--check] FILE\n");
        return 2;
    }
    const char* path = argv[argc - 1];
    FILE* f = fopen(path, check ? "rb" : "r+b");
    if (!f) {
        perror(path);
        return 1;
    }
    std::vector<unsigned char> image;
    unsigned char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, f)) > 0)
        image.insert(image.end(), chunk, chunk + got);
    if (check) {
        fclose(f);
        return PeChecksumValid(image.data(), image.size()) ? 0 : 1;
    }
    size_t at = PeChecksumOffset(image.data(), image.size());
    if (!at) {
        fprintf(stderr, "%s: not a PE image\n", path);
        fclose(f);
        return 1;
    }
    uint32_t sum = PeComputeChecksum(image.data(), image.size(), at);
    unsigned char bytes[4] = {(unsigned char)sum, (unsigned char)(sum >> 8),
                              (unsigned char)(sum >> 16), (unsigned char)(sum >> 24)};
    if (fseek(f, (long)at, SEEK_SET) != 0 || fwrite(bytes, 1, 4, f) != 4 || fclose(f) != 0) {
        fprintf(stderr, "%s: cannot write the checksum\n", path);
        return 1;
    }
    return 0;
}
