#include "app/appstate.h"

#include <cstring>
#include <new>

APPSTATE* g_app = 0;

int CreateAppState(HINSTANCE instance)
{
    // Members build themselves in field order; the plain fields are set here.
    APPSTATE* app = new (std::nothrow) APPSTATE;
    if (!app)
        return 0;
    g_app = app;
    app->hInstance = instance;
    app->aboutOpen = 0;
    app->setupOpen = 0;
    app->iconShown = 0;
    ApplyDefaultSettings(*app, DEFAULT_FLAGS);
    app->editText[0] = '\0';
    app->hideUnread = 0;

    for (int k = 0; k < MENU_COMMANDS; ++k)
        app->commandBitmaps[k].LoadIconBitmap(kMenuCommands[k].icon);
    LoadClassBitmaps(kClassIcons, app->devices);
    return 1;
}

void ApplyDefaultSettings(APPSTATE& app, DEFAULTSTEP step)
{
    if (step == DEFAULT_FLAGS) {
        for (const SETTINGFLAG& flag : kSettingFlags)
            app.*flag.field = flag.initial;
        app.ChildForm[0] = '\0';
        app.ChildSpace[0] = '\0';
        return;
    }
    if (!app.ChildForm[0])
        strcpy(app.ChildForm, DEFAULT_CHILDFORM);
    if (!app.ChildSpace[0])
        strcpy(app.ChildSpace, DEFAULT_CHILDSPACE);
}

DWORD* APPSTATE::Flag(int k)
{
    return k >= 0 && k < SETTING_FLAGS ? &(this->*kSettingFlags[k].field) : 0;
}

void DestroyAppState()
{
    if (!g_app)
        return;
    // Members go in reverse order; each holder tests what it still holds,
    // so whatever the window's destruction handler released stays released.
    delete g_app;
    g_app = 0;
}
