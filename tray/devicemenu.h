// The popup menu of removable devices opened from the tray icon: the entry
// list as plain data, and the glue that hands it to Windows.
#ifndef VANTREL_DEVICEMENU_H
#define VANTREL_DEVICEMENU_H

#include "app/ids.h"
#include "app/winlayer.h"
#include "devices/cfgmgr.h"

#define INDENT_SIZE 32
#define CHAINLINE_SIZE 288

enum MENUKIND { MENU_STRING, MENU_SEPARATOR };
enum MENUSTATE { MENU_ENABLED, MENU_GRAYED };

struct MENUENTRY {
    int kind;
    char text[CHAINLINE_SIZE];  // room for the longest chain line
    WORD id;
    HBITMAP bitmap;
    int state;
};

// The fixed commands under the devices, in menu order, a separator before
// the last. Command k's picture is the state record's commandBitmaps[k],
// loaded from its icon.
struct MENUCOMMAND {
    const char* text;
    WORD id;
    WORD icon;
};
inline constexpr MENUCOMMAND kMenuCommands[] = {
    {"&Scan", ID_SCAN, IDI_CMD_SCAN},
    {"&Setup...", ID_SETUP, IDI_CMD_SETUP},
    {"&About...", ID_ABOUT, IDI_CMD_ABOUT},
    {"&Exit", ID_EXIT, IDI_CMD_EXIT},
};
enum { MENU_COMMANDS = sizeof kMenuCommands / sizeof kMenuCommands[0] };

// The entries of one menu, in the order they are appended. One block
// sized for the menu being built: building allocates nothing else.
class MENULIST {
public:
    MENUENTRY* entries;
    DWORD count;
    DWORD capacity;

    MENULIST();
    virtual ~MENULIST();
    int Reserve(DWORD n);
    void Release();
    // Both drop the entry when the block is full. The text is read up to
    // width bytes, for fields that may lack their terminator.
    MENUENTRY* AddString(const char* text, WORD id, HBITMAP bitmap, size_t width = CHAINLINE_SIZE);
    void AddSeparator();

private:
    MENULIST(const MENULIST&);
    MENULIST& operator=(const MENULIST&);
};

// The menu for the current table, visibility flags and settings. Empty
// when its block cannot be allocated.
void BuildDeviceMenu(MENULIST& list);

// Nonzero when form holds no conversion but "%s" (at most two) and "%%".
int ChildFormUsable(const char* form);
// Member line from form: each "%s" takes the next of indent and name, "%%"
// gives '%'. Cut at CHAINLINE_SIZE - 1 characters; out is always terminated.
void FormatChainLine(char* out, const char* form, const char* indent, const char* name);

// Which device each id of the last shown menu stood for, so that a choice
// still means that device after a rescan ran while the menu was open.
struct MENUCHOICE {
    int shown;
    DWORD devInst[MAX_TABLE];  // 0: the id was not in that menu

    MENUCHOICE();
    void Remember(const MENULIST& list, const CCFGMGR& devices);
};

// The device node a device command (0 to 31) asks to eject; 0 for none.
DWORD ResolveDeviceCommand(const MENUCHOICE& menu, const CCFGMGR& devices, DWORD i);

// Windows side. Appends one enabled string entry, with the bitmap when there
// is one.
void AppendMenuEntry(HMENU menu, const char* text, HBITMAP bitmap, WORD id);
// Appends the list to the menu, greying as each device's entries end.
void FillDeviceMenu(HMENU menu, const MENULIST& list);
// Shows the menu and returns once it has closed; the chosen entry comes
// back later as WM_COMMAND.
void ShowDeviceMenu(HWND window);
// The main window's handler for a press on the tray icon.
int OnTrayNotify(LPARAM mouseMessage, HWND window);
// Gives the window the foreground: TakeForeground always by joining the
// foreground thread's input, ForceForeground only where the system needs it.
void ForceForeground(HWND window);
void TakeForeground(HWND window);

#endif
