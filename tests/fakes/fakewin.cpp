// Each stand-in does what the logic relies on and no more; handles are
// numbered so that leaks and double releases show up in the counters.
#include "tests/fakes/fakewin.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

FakeWin g_fake;

namespace {

const uintptr_t kFileHandle = 0x7F00;
const uintptr_t kDcOwnBitmap = 0x7E00;  // a new DC's own, due back before DeleteDC
uintptr_t g_lastHandle = 0x1000;

// Live handles of one kind, each with what it holds, counted in g_fake
// until released once.
template <typename T>
struct Live {
    int FakeWin::*count;
    std::map<uintptr_t, T> held = {};

    uintptr_t Add(const T& what)
    {
        held[g_lastHandle += 4] = what;
        ++(g_fake.*count);
        return g_lastHandle;
    }
    T* Find(const void* h)
    {
        auto it = held.find((uintptr_t)h);
        return it == held.end() ? nullptr : &it->second;
    }
    BOOL Release(const void* h)
    {
        if (!held.erase((uintptr_t)h))
            return FALSE;
        --(g_fake.*count);
        return TRUE;
    }
};

Live<std::string> g_mutexes{&FakeWin::openHandles};  // handle -> object name
Live<bool> g_icons{&FakeWin::liveIcons}, g_bitmaps{&FakeWin::liveBitmaps};
Live<uintptr_t> g_dcs{&FakeWin::liveDCs};  // DC -> object selected

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
    g_mutexes.held.clear();
    g_icons.held.clear();
    g_bitmaps.held.clear();
    g_dcs.held.clear();
}

extern "C" {

HANDLE OpenMutexA(DWORD, BOOL, LPCSTR name)
{
    return g_fake.mutexProbeMisses || !g_fake.mutexes.count(name) ? 0 : (HANDLE)g_mutexes.Add(name);
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR name)
{
    // Like Windows: a handle to the existing object, and the error says so.
    g_fake.lastError = g_fake.mutexes.count(name) ? ERROR_ALREADY_EXISTS : 0;
    g_fake.mutexes.insert(name);
    return (HANDLE)g_mutexes.Add(name);
}

DWORD GetLastError(void) { return g_fake.lastError; }

BOOL ReleaseMutex(HANDLE h) { return g_mutexes.Find(h) ? TRUE : FALSE; }

BOOL CloseHandle(HANDLE h)
{
    const std::string* held = g_mutexes.Find(h);
    if (!held)
        return (uintptr_t)h == kFileHandle ? TRUE : FALSE;
    std::string name = *held;
    g_mutexes.Release(h);
    bool stillOpen = false;
    for (auto& m : g_mutexes.held)
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
    return (HANDLE)g_icons.Add(true);
}

BOOL DestroyIcon(HICON icon) { return g_icons.Release(icon); }

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
    return (HBITMAP)g_bitmaps.Add(true);
}

HDC CreateCompatibleDC(HDC) { return g_fake.dcFails ? 0 : (HDC)g_dcs.Add(kDcOwnBitmap); }

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj)
{
    uintptr_t* held = g_dcs.Find(dc);
    if (!held || !obj)
        return 0;
    g_fake.selections.push_back(obj);
    uintptr_t previous = *held;
    *held = (uintptr_t)obj;
    return (HGDIOBJ)previous;
}

BOOL DrawIconEx(HDC dc, int, int, HICON icon, int, int, UINT, HBRUSH, UINT)
{
    const uintptr_t* held = g_dcs.Find(dc);  // a DC's own bitmap is one pixel: nothing to draw on
    return held && *held != kDcOwnBitmap && g_icons.Find(icon) ? TRUE : FALSE;
}

BOOL DeleteDC(HDC dc)
{
    const uintptr_t* held = g_dcs.Find(dc);
    if (!held)
        return FALSE;
    g_fake.dcsDeletedHoldingObject += *held != kDcOwnBitmap;
    return g_dcs.Release(dc);
}

BOOL DeleteObject(HGDIOBJ obj) { return g_bitmaps.Release(obj); }

}  // extern "C"
