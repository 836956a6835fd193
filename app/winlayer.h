// The one door to the operating system.
//
// Under MinGW this is simply the Windows headers. On the Linux host, where
// the logic is unit-tested, it declares the few types and functions the
// logic uses, with the names and signatures Windows gives them; the test
// tree links fakes behind them. Logic files include this and never
// <windows.h> directly.
#ifndef VANTREL_WINLAYER_H
#define VANTREL_WINLAYER_H

#if defined(_WIN32) && !defined(VANTREL_WINLAYER_COPIES)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#else  // host declarations

// The types and constants below are copies of the SDK's; app/winlayer_win.cpp
// compares each with the original in the Windows build. Constants are typed
// names rather than macros so that it can read them beside the SDK's macros.
#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef uint32_t ULONG;
typedef int32_t LONG;
typedef char CHAR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef ULONG* PULONG;
typedef DWORD* LPDWORD;
typedef const char* LPCSTR;
typedef const char* PCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef void* PVOID;
typedef void* HANDLE;

#define DECLARE_FAKE_HANDLE(n) typedef struct n##__* n
DECLARE_FAKE_HANDLE(HWND);
DECLARE_FAKE_HANDLE(HINSTANCE);
DECLARE_FAKE_HANDLE(HICON);
DECLARE_FAKE_HANDLE(HDC);
DECLARE_FAKE_HANDLE(HBRUSH);
DECLARE_FAKE_HANDLE(HMENU);
#undef DECLARE_FAKE_HANDLE
typedef HINSTANCE HMODULE;
typedef void* HGDIOBJ;
typedef HGDIOBJ HBITMAP;
typedef void* HDEVINFO;

typedef DWORD DEVINST;
typedef DWORD* PDEVINST;
typedef DWORD CONFIGRET;
typedef int PNP_VETO_TYPE;
typedef PNP_VETO_TYPE* PPNP_VETO_TYPE;

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

struct SP_DEVINFO_DATA {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
};
typedef SP_DEVINFO_DATA* PSP_DEVINFO_DATA;

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    int64_t QuadPart;
};

struct NOTIFYICONDATAA {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    CHAR szInfo[256];
    union {
        UINT uTimeout;
        UINT uVersion;
    };
    CHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
    HICON hBalloonIcon;
};
typedef NOTIFYICONDATAA* PNOTIFYICONDATAA;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
struct RGBQUAD {
    BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

constexpr int DIGCF_PRESENT = 0x2;
constexpr int DIGCF_ALLCLASSES = 0x4;
constexpr int DN_DISABLEABLE = 0x2000;
constexpr int DN_REMOVABLE = 0x4000;
constexpr int CR_SUCCESS = 0x0;
constexpr int CR_INVALID_POINTER = 0x3;
constexpr int CR_INVALID_DEVNODE = 0x5;
constexpr int CR_NO_SUCH_DEVNODE = 0xD;
constexpr int CR_BUFFER_SMALL = 0x1A;
constexpr int CR_NO_SUCH_VALUE = 0x25;
constexpr int CM_DRP_DEVICEDESC = 0x1;
constexpr int CM_DRP_CLASSGUID = 0x9;
constexpr int CM_DRP_FRIENDLYNAME = 0xD;
constexpr int REG_SZ = 1;

constexpr int ERROR_NO_MORE_ITEMS = 259;
constexpr int ERROR_ALREADY_EXISTS = 183;
constexpr int MUTEX_ALL_ACCESS = 0x1F0001;
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr int FILE_SHARE_READ = 0x1;
constexpr int OPEN_EXISTING = 3;
constexpr int FILE_ATTRIBUTE_NORMAL = 0x80;

constexpr int NIM_ADD = 0;
constexpr int NIM_MODIFY = 1;
constexpr int NIM_DELETE = 2;
constexpr int NIF_MESSAGE = 1;
constexpr int NIF_ICON = 2;
constexpr int NIF_TIP = 4;

constexpr int IMAGE_ICON = 1;
constexpr int LR_DEFAULTCOLOR = 0;
constexpr int LR_LOADFROMFILE = 0x10;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int BI_RGB = 0;
constexpr int DIB_RGB_COLORS = 0;
constexpr int DI_NORMAL = 3;

#ifndef VANTREL_WINLAYER_COPIES

#define WINAPI
#define CALLBACK
#define TRUE 1
#define FALSE 0
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define MAKEINTRESOURCEA(i) ((LPSTR)(uintptr_t)((WORD)(i)))

extern "C" {

// device installation and configuration manager
HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags);
BOOL SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA data);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set);
CONFIGRET CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST dev, ULONG flags);
CONFIGRET CM_Get_Child(PDEVINST child, DEVINST dev, ULONG flags);
CONFIGRET CM_Get_DevNode_Registry_PropertyA(DEVINST dev, ULONG property, PULONG regType,
                                            PVOID buffer, PULONG length, ULONG flags);
CONFIGRET CM_Request_Device_EjectA(DEVINST dev, PPNP_VETO_TYPE vetoType, LPSTR vetoName,
                                   ULONG nameLength, ULONG flags);

// kernel32
HANDLE OpenMutexA(DWORD access, BOOL inherit, LPCSTR name);
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES sa, BOOL initialOwner, LPCSTR name);
BOOL ReleaseMutex(HANDLE mutex);
DWORD GetLastError(void);
BOOL CloseHandle(HANDLE h);
void OutputDebugStringA(LPCSTR text);
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size,
                               LPCSTR file);
HMODULE GetModuleHandleA(LPCSTR name);
DWORD GetModuleFileNameA(HMODULE module, LPSTR out, DWORD size);
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                   DWORD disposition, DWORD flags, HANDLE templ);
BOOL QueryPerformanceCounter(LARGE_INTEGER* counter);
DWORD GetTickCount(void);
void Sleep(DWORD ms);

// user32, shell32, gdi32
UINT RegisterWindowMessageA(LPCSTR name);
BOOL Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data);
HANDLE LoadImageA(HINSTANCE inst, LPCSTR name, UINT type, int cx, int cy, UINT flags);
BOOL DestroyIcon(HICON icon);
int GetSystemMetrics(int index);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
HDC CreateCompatibleDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH brush,
                UINT flags);
BOOL DeleteDC(HDC dc);
BOOL DeleteObject(HGDIOBJ obj);

// version
DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle);
BOOL GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID data);
BOOL VerQueryValueA(const void* block, LPCSTR subBlock, LPVOID* data, UINT* length);

}  // extern "C"

#endif  // !VANTREL_WINLAYER_COPIES
#endif  // _WIN32

#include <cstddef>

// The shipped program is 32-bit; these are the sizes its callers and the
// system agree on there.
static_assert(sizeof(void*) != 4 || sizeof(SP_DEVINFO_DATA) == 28, "SP_DEVINFO_DATA");
static_assert(sizeof(void*) != 4 || offsetof(NOTIFYICONDATAA, hBalloonIcon) == 504,
              "NOTIFYICONDATAA");

#endif
