#include "app/integrity.h"
#include "app/winlayer.h"

int VerifyOwnImage()
{
    char path[MAX_PATH + 1];
    DWORD got = GetModuleFileNameA(0, path, sizeof path);
    if (got == 0 || got >= sizeof path)
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int valid = 0;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    HANDLE mapping = (size == INVALID_FILE_SIZE || high) ? 0
                                                        : CreateFileMappingA(file, 0, PAGE_READONLY,
                                                                             0, 0, 0);
    if (mapping) {
        const unsigned char* view =
            (const unsigned char*)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        if (view) {
            valid = PeChecksumValid(view, size);
            UnmapViewOfFile(view);
        }
        CloseHandle(mapping);
    }
    CloseHandle(file);
    return valid;
}
