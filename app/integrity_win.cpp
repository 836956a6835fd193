#include "app/holders.h"
#include "app/integrity.h"
#include "app/winlayer.h"

int VerifyOwnImage()
{
    char path[MAX_PATH + 1];
    DWORD got = GetModuleFileNameA(0, path, sizeof path);
    if (got == 0 || got >= sizeof path)
        return 0;
    KERNELHANDLE file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, 0));
    if (file.handle == INVALID_HANDLE_VALUE)
        return 0;
    DWORD high = 0;
    DWORD size = GetFileSize(file.handle, &high);
    if (size == INVALID_FILE_SIZE || high)
        return 0;
    KERNELHANDLE mapping(CreateFileMappingA(file.handle, 0, PAGE_READONLY, 0, 0, 0));
    if (!mapping.handle)
        return 0;
    FILEVIEW view(MapViewOfFile(mapping.handle, FILE_MAP_READ, 0, 0, 0));
    return view.bytes ? PeChecksumValid(view.bytes, size) : 0;
}
