#include "app/holders.h"
#include "app/integrity.h"
#include "app/winlayer.h"

int VerifyOwnImage()
{
    char path[MAX_PATH + 1];
    DWORD got = GetModuleFileNameA(0, path, sizeof path);
    if (got == 0 || got >= sizeof path)
        return 0;
    HOLDER<HANDLE, CloseHandle, -1> file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, 0,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0));
    if (!file.Held())
        return 0;
    DWORD high = 0;
    DWORD size = GetFileSize(file.handle, &high);
    if (size == INVALID_FILE_SIZE || high)
        return 0;
    HOLDER<HANDLE, CloseHandle> mapping(CreateFileMappingA(file.handle, 0, PAGE_READONLY, 0, 0, 0));
    if (!mapping.Held())
        return 0;
    HOLDER<LPCVOID, UnmapViewOfFile> view(MapViewOfFile(mapping.handle, FILE_MAP_READ, 0, 0, 0));
    return view.Held() ? PeChecksumValid((const unsigned char*)view.handle, size) : 0;
}
