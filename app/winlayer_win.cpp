// The host half of app/winlayer.h copies Windows types and constants by
// hand so that the logic builds without the SDK. Here, in the Windows build
// only, every copy meets the SDK's original: a wrong copy fails the build.
#include <cstddef>
#include <cstdint>

namespace host {
#define VANTREL_WINLAYER_COPIES
#include "app/winlayer.h"
}  // namespace host

// Two tables, one name each, kept as written.
// clang-format off
#define COPIED_CONSTANTS(X)                                                                    \
    X(DIGCF_PRESENT) X(DIGCF_ALLCLASSES) X(DN_DISABLEABLE) X(DN_REMOVABLE) X(CR_SUCCESS)       \
    X(CR_INVALID_POINTER) X(CR_INVALID_DEVNODE) X(CR_NO_SUCH_DEVNODE) X(CR_BUFFER_SMALL)       \
    X(CR_NO_SUCH_VALUE) X(CM_DRP_DEVICEDESC) X(CM_DRP_CLASSGUID) X(CM_DRP_FRIENDLYNAME)        \
    X(REG_SZ) X(ERROR_NO_MORE_ITEMS) X(ERROR_ALREADY_EXISTS) X(MUTEX_ALL_ACCESS)               \
    X(GENERIC_READ) X(FILE_SHARE_READ) X(OPEN_EXISTING) X(FILE_ATTRIBUTE_NORMAL) X(NIM_ADD)    \
    X(NIM_MODIFY) X(NIM_DELETE) X(NIF_MESSAGE) X(NIF_ICON) X(NIF_TIP) X(IMAGE_ICON)            \
    X(LR_DEFAULTCOLOR) X(LR_LOADFROMFILE) X(SM_CXSMICON) X(SM_CYSMICON) X(BI_RGB)              \
    X(DIB_RGB_COLORS) X(DI_NORMAL)
#define COPIED_TYPES(X)                                                                        \
    X(BOOL) X(BYTE) X(WORD) X(DWORD) X(UINT) X(ULONG) X(LONG) X(ULONG_PTR) X(WPARAM)           \
    X(LPARAM) X(LRESULT) X(HANDLE) X(HWND) X(HDEVINFO) X(DEVINST) X(CONFIGRET)                 \
    X(PNP_VETO_TYPE) X(GUID) X(SP_DEVINFO_DATA) X(LARGE_INTEGER) X(NOTIFYICONDATAA)            \
    X(BITMAPINFOHEADER) X(RGBQUAD) X(BITMAPINFO)
// Every field of the copied structures: two fields of one size in the wrong
// order leave the size alone but not the offsets.
#define COPIED_FIELDS(X)                                                                       \
    X(GUID, Data1) X(GUID, Data2) X(GUID, Data3) X(GUID, Data4)                                \
    X(SP_DEVINFO_DATA, cbSize) X(SP_DEVINFO_DATA, ClassGuid) X(SP_DEVINFO_DATA, DevInst)       \
    X(SP_DEVINFO_DATA, Reserved) X(LARGE_INTEGER, QuadPart)                                    \
    X(NOTIFYICONDATAA, cbSize) X(NOTIFYICONDATAA, hWnd) X(NOTIFYICONDATAA, uID)                \
    X(NOTIFYICONDATAA, uFlags) X(NOTIFYICONDATAA, uCallbackMessage) X(NOTIFYICONDATAA, hIcon)  \
    X(NOTIFYICONDATAA, szTip) X(NOTIFYICONDATAA, dwState) X(NOTIFYICONDATAA, dwStateMask)      \
    X(NOTIFYICONDATAA, szInfo) X(NOTIFYICONDATAA, uTimeout) X(NOTIFYICONDATAA, uVersion)       \
    X(NOTIFYICONDATAA, szInfoTitle) X(NOTIFYICONDATAA, dwInfoFlags)                            \
    X(NOTIFYICONDATAA, guidItem) X(NOTIFYICONDATAA, hBalloonIcon)                              \
    X(BITMAPINFOHEADER, biSize) X(BITMAPINFOHEADER, biWidth) X(BITMAPINFOHEADER, biHeight)     \
    X(BITMAPINFOHEADER, biPlanes) X(BITMAPINFOHEADER, biBitCount)                              \
    X(BITMAPINFOHEADER, biCompression) X(BITMAPINFOHEADER, biSizeImage)                        \
    X(BITMAPINFOHEADER, biXPelsPerMeter) X(BITMAPINFOHEADER, biYPelsPerMeter)                  \
    X(BITMAPINFOHEADER, biClrUsed) X(BITMAPINFOHEADER, biClrImportant)                         \
    X(RGBQUAD, rgbBlue) X(RGBQUAD, rgbGreen) X(RGBQUAD, rgbRed) X(RGBQUAD, rgbReserved)        \
    X(BITMAPINFO, bmiHeader) X(BITMAPINFO, bmiColors)
// clang-format on

// Taken now: once the SDK is in, its macros would replace the names.
#define TAKE_VALUE(name) constexpr auto copied_##name = host::name;
#define TAKE_SIZE(type) constexpr size_t copied_##type = sizeof(host::type);
#define TAKE_OFFSET(type, field) \
    constexpr size_t copied_##type##_##field = offsetof(host::type, field);
COPIED_CONSTANTS(TAKE_VALUE)
COPIED_TYPES(TAKE_SIZE)
COPIED_FIELDS(TAKE_OFFSET)

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include "app/ids.h"

#define SAME_VALUE(name) static_assert(copied_##name == name, #name " differs from the SDK");
#define SAME_SIZE(type) static_assert(copied_##type == sizeof(type), #type " differs from the SDK");
#define SAME_OFFSET(type, field)                                    \
    static_assert(copied_##type##_##field == offsetof(type, field), \
                  #type "::" #field " differs from the SDK");
COPIED_CONSTANTS(SAME_VALUE)
COPIED_TYPES(SAME_SIZE)
COPIED_FIELDS(SAME_OFFSET)

// The fixed message-box styles of app/ids.h, spelt out there for the
// resource compiler.
static_assert(ERROR_BOX_STYLE == (MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST),
              "ERROR_BOX_STYLE");
static_assert(ABOUT_BOX_STYLE == (MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST),
              "ABOUT_BOX_STYLE");
// "Error information": five double-byte characters.
static_assert(sizeof ERROR_CAPTION == 11, "ERROR_CAPTION");
