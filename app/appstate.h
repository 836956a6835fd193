// The one record that owns everything the process holds.
#ifndef VANTREL_APPSTATE_H
#define VANTREL_APPSTATE_H

#include "app/ids.h"
#include "app/mutex.h"
#include "app/winlayer.h"
#include "devices/usbdev.h"
#include "settings/cstr.h"
#include "tray/devicemenu.h"
#include "tray/trayicon.h"

#define HIDE_ENTRIES 32
#define COMMAND_BITMAPS 15
#define CHILDFORM_SIZE 32
#define CHILDSPACE_SIZE 8
#define EDITTEXT_SIZE 256

// The five flag settings, one row each, in the order of the Setup dialog's
// check boxes: X(field, value a new record starts with, its check box). The
// field's name is also the name of its registry value. Nothing is hidden as
// a portable device until the user asks for it.
#define SETTING_FLAG_ROWS(X)           \
    X(Separator, 1, IDC_SEPARATOR)     \
    X(ChildOnly, 0, IDC_CHILDONLY)     \
    X(HideInvalid, 1, IDC_HIDEINVALID) \
    X(HideWPD, 0, IDC_HIDEWPD)         \
    X(AutoShow, 0, IDC_AUTOSHOW)

// The texts a user who never set them gets; a stored empty text means these.
#define DEFAULT_CHILDFORM "%s+ %s"
#define DEFAULT_CHILDSPACE " "

struct APPSTATE {
    HINSTANCE hInstance;
    MUTEX mutex;
    TaskTrayIcon tray;
    CUSBDEV devices;
    int visible[MAX_TABLE];
    int aboutOpen;
    int setupOpen;
    int iconShown;
    // DWORD Separator, ChildOnly, HideInvalid, HideWPD, AutoShow: one each.
#define SETTING_FLAG_FIELD(field, initial, control) DWORD field;
    SETTING_FLAG_ROWS(SETTING_FLAG_FIELD)
#undef SETTING_FLAG_FIELD
    char ChildForm[CHILDFORM_SIZE];
    char ChildSpace[CHILDSPACE_SIZE];
    char editText[EDITTEXT_SIZE];
    CSTR hideList[HIDE_ENTRIES];
    // Bit k: stored hide entry k could not be kept in memory at load time.
    // A save leaves such a value alone instead of deleting it.
    DWORD hideUnread;
    CBMPICON commandBitmaps[COMMAND_BITMAPS];  // one per menu command, the rest empty
    MENUCHOICE lastMenu;

    // Flag k of the rows above. Null for any other k, so a stray index
    // cannot reach past the five.
    DWORD* Flag(int k);
};

struct SETTINGFLAG {
    const char* name;
    DWORD APPSTATE::*field;
    DWORD initial;
    int control;
};

#define SETTING_FLAG_ROW(field, initial, control) {#field, &APPSTATE::field, initial, control},
inline constexpr SETTINGFLAG kSettingFlags[] = {SETTING_FLAG_ROWS(SETTING_FLAG_ROW)};
#undef SETTING_FLAG_ROW
enum { SETTING_FLAGS = sizeof kSettingFlags / sizeof kSettingFlags[0] };

static_assert(MENU_COMMANDS <= COMMAND_BITMAPS, "a bitmap for every menu command");

extern APPSTATE* g_app;

int CreateAppState(HINSTANCE instance);
void DestroyAppState();

// The one place the settings' defaults are written. DEFAULT_FLAGS: the flags
// a new record starts with, its texts empty until the store is read.
// DEFAULT_TEXTS: each text the store left empty gets its default.
enum DEFAULTSTEP { DEFAULT_FLAGS, DEFAULT_TEXTS };
void ApplyDefaultSettings(APPSTATE& app, DEFAULTSTEP step);

#endif
