// The one record that owns everything the process holds.
#ifndef VANTREL_APPSTATE_H
#define VANTREL_APPSTATE_H

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

// The five flag settings, in the order of the Setup dialog's check boxes.
enum { SETTING_FLAGS = 5 };

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
    DWORD Separator;
    DWORD ChildOnly;
    DWORD HideInvalid;
    DWORD HideWPD;
    DWORD AutoShow;
    char ChildForm[CHILDFORM_SIZE];
    char ChildSpace[CHILDSPACE_SIZE];
    char editText[EDITTEXT_SIZE];
    CSTR hideList[HIDE_ENTRIES];
    // Bit k: stored hide entry k could not be kept in memory at load time.
    // A save leaves such a value alone instead of deleting it.
    DWORD hideUnread;
    CBMPICON commandBitmaps[COMMAND_BITMAPS];
    MENUCHOICE lastMenu;

    // Flag k of Separator, ChildOnly, HideInvalid, HideWPD, AutoShow: the
    // Setup dialog addresses them by check-box id minus 1000. Null for any
    // other k, so a stray id cannot reach past the five.
    DWORD* Flag(int k)
    {
        DWORD* const flags[SETTING_FLAGS] = {&Separator, &ChildOnly, &HideInvalid, &HideWPD,
                                             &AutoShow};
        return k >= 0 && k < SETTING_FLAGS ? flags[k] : 0;
    }
};

extern APPSTATE* g_app;

int CreateAppState(HINSTANCE instance);
void DestroyAppState();

// The one place the settings' defaults are written. DEFAULT_FLAGS: the flags
// a new record starts with, its texts empty until the store is read.
// DEFAULT_TEXTS: each text the store left empty gets its default.
enum DEFAULTSTEP { DEFAULT_FLAGS, DEFAULT_TEXTS };
void ApplyDefaultSettings(APPSTATE& app, DEFAULTSTEP step);

#endif
