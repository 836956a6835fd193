// Hands the device menu's entry list to Windows, shows it at the cursor
// and tracks it.
#include "tray/devicemenu.h"

#include <cstring>

#include "app/appstate.h"
#include "app/mainwnd.h"

// The shipped program is 32-bit: there the menu item record is 48 bytes.
static_assert(sizeof(void*) != 4 || sizeof(MENUITEMINFOA) == 48, "MENUITEMINFOA");

namespace {

// Owner of one popup menu: every way out of ShowDeviceMenu destroys it.
class POPUPMENU {
public:
    HMENU hmenu;

    POPUPMENU() : hmenu(CreatePopupMenu()) {}
    ~POPUPMENU() { Release(); }
    void Release()
    {
        if (hmenu) {
            DestroyMenu(hmenu);
            hmenu = 0;
        }
    }

private:
    POPUPMENU(const POPUPMENU&);
    POPUPMENU& operator=(const POPUPMENU&);
};

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

void ShowDeviceMenu(HWND window)
{
    MENULIST list;
    BuildDeviceMenu(list);
    g_app->lastMenu.Remember(list, g_app->devices);
    POPUPMENU popup;
    if (!popup.hmenu || !list.count)
        return;
    FillDeviceMenu(popup.hmenu, list);

    POINT cursor;
    GetCursorPos(&cursor);
    // Unless the owner is the foreground window, the menu does not close
    // when the user clicks elsewhere.
    TakeForeground(window);
    TrackPopupMenu(popup.hmenu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, 0);
}
