// The self-check's checksum against the system's own (imagehlp), on this
// test program's file, and the running program's view of itself.
#include <gtest/gtest.h>

#include <windows.h>
#include <imagehlp.h>

#include <vector>

#include "app/integrity.h"

TEST(Integrity, ChecksumAgreesWithTheSystems)
{
    char path[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(0, path, sizeof path));
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, 0, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    std::vector<unsigned char> image(GetFileSize(file, 0));
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(file, image.data(), (DWORD)image.size(), &got, 0));
    CloseHandle(file);
    ASSERT_EQ(image.size(), got);

    DWORD stored = 0, computed = 0;
    ASSERT_NE(nullptr, CheckSumMappedFile(image.data(), got, &stored, &computed));
    size_t at = PeChecksumOffset(image.data(), image.size());
    ASSERT_NE(0u, at);
    EXPECT_EQ(computed, PeComputeChecksum(image.data(), image.size(), at));
    EXPECT_EQ(stored, *(DWORD*)&image[at]);
    // The test program is not stamped after linking; the linker's own
    // checksum is what the self-check reads.
    EXPECT_EQ(stored != 0 && stored == computed, PeChecksumValid(image.data(), image.size()) != 0);
}
