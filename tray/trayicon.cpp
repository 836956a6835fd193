#include "tray/trayicon.h"

#include <cstring>
#include <new>

#include "app/appstate.h"
#include "app/ids.h"
#include "devices/visibility.h"

static const char kIconFileName[] = "VANTRL.ICO";

TaskTrayIcon::TaskTrayIcon()
    : taskbarCreatedMsg(RegisterWindowMessageA("TaskbarCreated")),
      slotCount(0),
      slots(0),
      hInstance(0),
      currentIndex(0),
      loadedCount(0)
{
    memset(&nid, 0, sizeof nid);
}

TaskTrayIcon::~TaskTrayIcon() { Destroy(); }

int TaskTrayIcon::Create(HINSTANCE instance, HWND window)
{
    if (slots)
        return 0;
    slots = new (std::nothrow) ICONSLOT[1];
    if (!slots)
        return 0;
    slots[0].icon = 0;
    slots[0].owned = 0;
    slotCount = 1;
    hInstance = instance;
    memset(&nid, 0, sizeof nid);
    nid.cbSize = NID_SIZE;
    nid.uID = MakeIconId();
    nid.hWnd = window;
    nid.uFlags = NIF_ICON;
    return 1;
}

void TaskTrayIcon::SetTip()
{
    if (!slots)
        return;
    nid.uFlags |= NIF_TIP;
    memset(nid.szTip, 0, sizeof nid.szTip);
    strncpy(nid.szTip, APP_NAME, sizeof nid.szTip - 1);
}

void TaskTrayIcon::ReleaseSlotIcon(DWORD index)
{
    if (slots[index].icon && slots[index].owned)
        DestroyIcon(slots[index].icon);
    slots[index].icon = 0;
    slots[index].owned = 0;
}

void TaskTrayIcon::LoadResourceIcon(DWORD index, int cx, int cy)
{
    if (!slots || index >= slotCount)
        return;
    ReleaseSlotIcon(index);
    slots[index].icon = (HICON)LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON, cx, cy,
                                          LR_DEFAULTCOLOR);
    slots[index].owned = 1;
}

void TaskTrayIcon::LoadFileIcon(const char* path, DWORD index)
{
    if (!slots || index >= slotCount)
        return;
    ReleaseSlotIcon(index);
    slots[index].icon = (HICON)LoadImageA(0, path, IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
    slots[index].owned = 1;
}

BOOL TaskTrayIcon::OnTaskbarCreated(UINT message)
{
    if (message != taskbarCreatedMsg)
        return 0;
    DWORD index = currentIndex;
    if (!slots || index >= slotCount)
        return 0;
    nid.hIcon = slots[index].icon;
    currentIndex = index;
    return Shell_NotifyIconA(NIM_ADD, &nid);
}

void TaskTrayIcon::Delete()
{
    if (!slots)
        return;
    nid.hIcon = 0;
    Shell_NotifyIconA(NIM_DELETE, &nid);
}

void TaskTrayIcon::Destroy()
{
    if (!slots)
        return;
    Delete();
    memset(&nid, 0, sizeof nid);
    for (DWORD k = 0; k < slotCount; ++k)
        ReleaseSlotIcon(k);
    delete[] slots;
    slots = 0;
    slotCount = 0;
    loadedCount = 0;
}

UINT MakeIconId()
{
    LARGE_INTEGER counter;
    if (QueryPerformanceCounter(&counter)) {
        Sleep(10);
        return (UINT)(counter.QuadPart & 0xFFFFFFFFu);
    }
    UINT id = GetTickCount();
    Sleep(100);
    return id;
}

char* GetIconFilePath(char* buffer)
{
    DWORD got = GetModuleFileNameA(GetModuleHandleA(0), buffer, ICON_PATH_SIZE);
    // A path cut by the buffer reports the full size: its directory is
    // unknown, so there is no icon file to look for.
    if (got == 0 || got >= ICON_PATH_SIZE)
        return 0;
    buffer[ICON_PATH_SIZE - 1] = '\0';
    char* slash = strrchr(buffer, '\\');
    if (!slash)
        return 0;
    size_t dirLength = (size_t)(slash - buffer) + 1;
    if (dirLength + sizeof kIconFileName > ICON_PATH_SIZE)
        return 0;
    memcpy(slash + 1, kIconFileName, sizeof kIconFileName);
    return buffer;
}

void LoadTrayIcon()
{
    TaskTrayIcon& tray = g_app->tray;
    char path[ICON_PATH_SIZE];
    memset(path, 0, sizeof path);
    if (GetIconFilePath(path)) {
        HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, 0);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            DWORD slot = tray.loadedCount;
            tray.LoadFileIcon(path, slot);
            // A file that is no icon would leave the user nothing to click.
            if (slot >= tray.slotCount || tray.slots[slot].icon)
                return;
        }
    }
    if (tray.loadedCount < tray.slotCount) {
        tray.LoadResourceIcon(tray.loadedCount, GetSystemMetrics(SM_CXSMICON),
                              GetSystemMetrics(SM_CYSMICON));
        ++tray.loadedCount;
    }
}

void UpdateTrayIcon()
{
    APPSTATE& app = *g_app;
    TaskTrayIcon& tray = app.tray;
    if (app.AutoShow && CountVisibleDevices() == 0) {
        tray.Delete();
        app.iconShown = 0;
        return;
    }
    if (app.iconShown) {
        if (tray.slots && tray.currentIndex < tray.slotCount) {
            tray.nid.hIcon = tray.slots[tray.currentIndex].icon;
            Shell_NotifyIconA(NIM_MODIFY, &tray.nid);
        }
    } else if (tray.slots && tray.slotCount > 0) {
        tray.nid.hIcon = tray.slots[0].icon;
        tray.currentIndex = 0;
        // A notification area not up yet (a start at logon) refuses the
        // icon: the next update asks again instead of modifying nothing.
        if (!Shell_NotifyIconA(NIM_ADD, &tray.nid)) {
            app.iconShown = 0;
            return;
        }
    }
    app.iconShown = 1;
}
