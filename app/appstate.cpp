#include "app/appstate.h"

#include <cstring>
#include <new>

#include "app/ids.h"

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

    static const WORD commandIcons[] = {IDI_CMD_SCAN, IDI_CMD_SETUP, IDI_CMD_ABOUT, IDI_CMD_EXIT};
    for (int k = 0; k < 4; ++k)
        app->commandBitmaps[k].LoadIconBitmap(commandIcons[k]);
    LoadClassBitmaps(kClassIcons, app->devices);
    return 1;
}

void ApplyDefaultSettings(APPSTATE& app, DEFAULTSTEP step)
{
    // In check-box order: Separator, ChildOnly, HideInvalid, HideWPD, AutoShow.
    // Nothing is hidden as a portable device until the user asks for it.
    static const DWORD kDefaultFlags[SETTING_FLAGS] = {1, 0, 1, 0, 0};
    if (step == DEFAULT_FLAGS) {
        for (int k = 0; k < SETTING_FLAGS; ++k)
            *app.Flag(k) = kDefaultFlags[k];
        app.ChildForm[0] = '\0';
        app.ChildSpace[0] = '\0';
        return;
    }
    if (!app.ChildForm[0])
        strcpy(app.ChildForm, DEFAULT_CHILDFORM);
    if (!app.ChildSpace[0])
        strcpy(app.ChildSpace, DEFAULT_CHILDSPACE);
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
