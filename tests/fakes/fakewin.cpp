// Each stand-in does what the logic relies on and no more; handles are
// numbered so that leaks and double releases show up in the counters.
#include "tests/fakes/fakewin.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

FakeWin g_fake;

namespace {

const uintptr_t kFileHandle = 0x7F00;

std::map<uintptr_t, std::string> g_mutexHandles;
std::set<uintptr_t> g_icons, g_bitmaps;
// DC -> object selected; a new DC holds its own bitmap, due back before DeleteDC.
std::map<uintptr_t, uintptr_t> g_dcs;
const uintptr_t kDcOwnBitmap = 0x7E00;
uintptr_t g_nextHandle = 0x1000;

uintptr_t NewHandle() { return g_nextHandle += 4; }

HANDLE NewMutexHandle(const char* name)
{
    uintptr_t h = NewHandle();
    g_mutexHandles[h] = name;
    ++g_fake.openHandles;
    return (HANDLE)h;
}

// A new handle of a kind, counted live until released once.
uintptr_t Acquire(std::set<uintptr_t>& live, int& count)
{
    uintptr_t h = NewHandle();
    live.insert(h);
    ++count;
    return h;
}

BOOL Release(std::set<uintptr_t>& live, int& count, const void* h)
{
    if (!live.erase((uintptr_t)h))
        return FALSE;
    --count;
    return TRUE;
}

// Text into a buffer of size bytes, cut and terminated; the length copied.
DWORD CopyCut(const std::string& text, LPSTR out, DWORD size)
{
    if (size == 0)
        return 0;
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    memcpy(out, text.data(), n);
    out[n] = '\0';
    return (DWORD)n;
}

}  // namespace

void FakeWin_Reset()
{
    g_fake = FakeWin();
    g_mutexHandles.clear();
    g_icons.clear();
    g_bitmaps.clear();
    g_dcs.clear();
}

extern "C" {

HANDLE OpenMutexA(DWORD, BOOL, LPCSTR name)
{
    return g_fake.mutexProbeMisses || !g_fake.mutexes.count(name) ? 0 : NewMutexHandle(name);
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR name)
{
    // Like Windows: a handle to the existing object, and the error says so.
    g_fake.lastError = g_fake.mutexes.count(name) ? ERROR_ALREADY_EXISTS : 0;
    g_fake.mutexes.insert(name);
    return NewMutexHandle(name);
}

DWORD GetLastError(void) { return g_fake.lastError; }

BOOL ReleaseMutex(HANDLE h) { return g_mutexHandles.count((uintptr_t)h) ? TRUE : FALSE; }

BOOL CloseHandle(HANDLE h)
{
    auto it = g_mutexHandles.find((uintptr_t)h);
    if (it == g_mutexHandles.end())
        return (uintptr_t)h == kFileHandle ? TRUE : FALSE;
    std::string name = it->second;
    g_mutexHandles.erase(it);
    --g_fake.openHandles;
    bool stillOpen = false;
    for (auto& m : g_mutexHandles)
        stillOpen |= m.second == name;
    if (!stillOpen)
        g_fake.mutexes.erase(name);  // the object dies with its last handle
    return TRUE;
}

void OutputDebugStringA(LPCSTR text) { g_fake.trace.push_back(text); }

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size,
                               LPCSTR file)
{
    g_fake.iniReads.push_back(std::string(file) + "|" + section + "|" + key);
    std::string value = def;
    auto f = g_fake.ini.find(file);
    if (f != g_fake.ini.end()) {
        auto v = f->second.find(std::string(section) + "/" + key);
        if (v != f->second.end())
            value = v->second;
    }
    return CopyCut(value, out, size);
}

HMODULE GetModuleHandleA(LPCSTR) { return (HMODULE)0x400000; }

DWORD GetModuleFileNameA(HMODULE, LPSTR out, DWORD size)
{
    // Like Windows XP and later: a cut name is terminated and reports size.
    DWORD n = CopyCut(g_fake.moduleFileName, out, size);
    return n < g_fake.moduleFileName.size() ? size : n;
}

HANDLE CreateFileA(LPCSTR path, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    return g_fake.files.count(path) ? (HANDLE)kFileHandle : INVALID_HANDLE_VALUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* counter)
{
    if (!g_fake.performanceCounter)
        return FALSE;
    counter->QuadPart = 0x123456789ALL;
    return TRUE;
}

DWORD GetTickCount(void) { return 4242; }

void Sleep(DWORD ms) { g_fake.sleptMs += ms; }

UINT RegisterWindowMessageA(LPCSTR name)
{
    return strcmp(name, "TaskbarCreated") == 0 ? 0xC0DE : 0xC001;
}

BOOL Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data)
{
    g_fake.notify.push_back({message, data->uID, data->uFlags, data->hIcon, data->cbSize});
    if (message == NIM_ADD && g_fake.refusedAdds > 0) {
        --g_fake.refusedAdds;
        return FALSE;
    }
    return TRUE;
}

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    if (type != IMAGE_ICON)
        return 0;
    char what[300];
    unsigned id = (unsigned)(uintptr_t)name;
    bool file = flags & LR_LOADFROMFILE;
    if (file)
        snprintf(what, sizeof what, "file:%s", name);
    else
        snprintf(what, sizeof what, "res:%u:%dx%d", id, cx, cy);
    g_fake.loads.push_back(what);
    if (file ? g_fake.badIconFiles.count(name) : g_fake.missingIcons.count(id))
        return 0;
    return (HANDLE)Acquire(g_icons, g_fake.liveIcons);
}

BOOL DestroyIcon(HICON icon) { return Release(g_icons, g_fake.liveIcons, icon); }

int GetSystemMetrics(int index)
{
    return index == SM_CXSMICON || index == SM_CYSMICON ? g_fake.smallIcon : 0;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD)
{
    if (g_fake.dibFails || !info || info->bmiHeader.biBitCount != 32)
        return 0;
    if (bits)
        *bits = 0;
    return (HBITMAP)Acquire(g_bitmaps, g_fake.liveBitmaps);
}

HDC CreateCompatibleDC(HDC)
{
    if (g_fake.dcFails)
        return 0;
    uintptr_t h = NewHandle();
    g_dcs[h] = kDcOwnBitmap;
    ++g_fake.liveDCs;
    return (HDC)h;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj)
{
    auto it = g_dcs.find((uintptr_t)dc);
    if (it == g_dcs.end() || !obj)
        return 0;
    g_fake.selections.push_back(obj);
    uintptr_t previous = it->second;
    it->second = (uintptr_t)obj;
    return (HGDIOBJ)previous;
}

BOOL DrawIconEx(HDC dc, int, int, HICON icon, int, int, UINT, HBRUSH, UINT)
{
    auto it = g_dcs.find((uintptr_t)dc);  // a DC's own bitmap is one pixel: nothing to draw on
    return it != g_dcs.end() && it->second != kDcOwnBitmap && g_icons.count((uintptr_t)icon)
               ? TRUE
               : FALSE;
}

BOOL DeleteDC(HDC dc)
{
    auto it = g_dcs.find((uintptr_t)dc);
    if (it == g_dcs.end())
        return FALSE;
    g_fake.dcsDeletedHoldingObject += it->second != kDcOwnBitmap;
    g_dcs.erase(it);
    --g_fake.liveDCs;
    return TRUE;
}

BOOL DeleteObject(HGDIOBJ obj) { return Release(g_bitmaps, g_fake.liveBitmaps, obj); }

}  // extern "C"
