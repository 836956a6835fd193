// A press on the tray icon, top to bottom: the foreground, the guard on the
// open dialogs, the device menu handed to Windows and tracked, and the
// message that lets it close.
#include "tray/devicemenu.h"

#include <cstring>

#include "app/appstate.h"
#include "app/holders.h"

// The shipped program is 32-bit: there the menu item record is 48 bytes.
static_assert(sizeof(void*) != 4 || sizeof(MENUITEMINFOA) == 48, "MENUITEMINFOA");

namespace {

void AppendSeparator(HMENU menu)
{
    MENUITEMINFOA mii;
    memset(&mii, 0, sizeof mii);
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    mii.fType = MFT_SEPARATOR;
    InsertMenuItemA(menu, (UINT)-1, TRUE, &mii);
}

void GreyFirstEntry(HMENU menu, WORD id)
{
    MENUITEMINFOA mii;
    memset(&mii, 0, sizeof mii);
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STATE;
    if (!GetMenuItemInfoA(menu, id, FALSE, &mii))
        return;
    mii.fState |= MFS_GRAYED;
    SetMenuItemInfoA(menu, id, FALSE, &mii);
}

}  // namespace

int OnTrayNotify(LPARAM mouseMessage, HWND window)
{
    if (mouseMessage != WM_LBUTTONDOWN && mouseMessage != WM_RBUTTONDOWN)
        return 0;
    // The press leaves the foreground with the taskbar; handing it to the
    // desktop first frees it for the menu's owner below.
    ForceForeground(GetDesktopWindow());
    // A menu over an open Setup or About box would act behind its back.
    if (!g_app->aboutOpen && !g_app->setupOpen)
        ShowDeviceMenu(window);
    // Lets a menu opened from the tray close when the user clicks elsewhere.
    PostMessageA(window, WM_NULL, 0, 0);
    return 0;
}

void ShowDeviceMenu(HWND window)
{
    MENULIST list;
    BuildDeviceMenu(list);
    g_app->lastMenu.Remember(list, g_app->devices);
    HOLDER<HMENU, DestroyMenu> popup(CreatePopupMenu());
    if (!popup.Held() || !list.count)
        return;
    FillDeviceMenu(popup.handle, list);

    POINT cursor;
    GetCursorPos(&cursor);
    // Unless the owner is the foreground window, the menu does not close
    // when the user clicks elsewhere.
    TakeForeground(window);
    TrackPopupMenu(popup.handle, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, 0);
}

void ForceForeground(HWND window)
{
    // Windows 98, Me and 2000 on lock the foreground; earlier systems hand
    // it over on request.
    DWORD version = GetVersion();
    DWORD major = version & 0xFF, minor = (version >> 8) & 0xFF;
    int win9x = (version & 0x80000000u) != 0;
    int attach = win9x ? (major >= 4 && minor >= 10) : major >= 5;
    if (attach)
        TakeForeground(window);
    else
        SetForegroundWindow(window);
}

void TakeForeground(HWND window)
{
    // Windows refuses the foreground to a background process unless its
    // input is briefly joined to the foreground thread's.
    DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), 0);
    DWORD self = GetCurrentThreadId();
    AttachThreadInput(self, foreground, TRUE);
    SetForegroundWindow(window);
    AttachThreadInput(self, foreground, FALSE);
    BringWindowToTop(window);
}

void AppendMenuEntry(HMENU menu, const char* text, HBITMAP bitmap, WORD id)
{
    MENUITEMINFOA mii;
    memset(&mii, 0, sizeof mii);
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_FTYPE;
    mii.fType = MFT_STRING;
    mii.fState = MFS_ENABLED;
    mii.wID = id;
    mii.dwTypeData = (LPSTR)text;
    mii.cch = (UINT)strlen(text);
    if (bitmap) {
        mii.fMask |= MIIM_BITMAP;
        mii.hbmpItem = bitmap;
    }
    InsertMenuItemA(menu, (UINT)-1, TRUE, &mii);
}

void FillDeviceMenu(HMENU menu, const MENULIST& list)
{
    // A problem device's own entry is greyed by id once its chain lines
    // are in and before anything else is, as the entries of one device
    // share its id.
    int greyPending = 0;
    WORD greyId = 0;
    for (DWORD k = 0; k < list.count; ++k) {
        const MENUENTRY& e = list.entries[k];
        if (greyPending && (e.kind != MENU_STRING || e.id != greyId)) {
            GreyFirstEntry(menu, greyId);
            greyPending = 0;
        }
        if (e.kind == MENU_SEPARATOR) {
            AppendSeparator(menu);
            continue;
        }
        AppendMenuEntry(menu, e.text, e.bitmap, e.id);
        if (e.state == MENU_GRAYED) {
            greyPending = 1;
            greyId = e.id;
        }
    }
    if (greyPending)
        GreyFirstEntry(menu, greyId);
}
