// The About box: the program's own version strings in a message box.
#include "settings/win32ver.h"

#include <cstring>

#include "app/appstate.h"
#include "app/ids.h"

void ShowAboutBox(HWND owner)
{
    APPSTATE& app = *g_app;
    if (app.aboutOpen)
        return;
    char text[ABOUT_TEXT_SIZE];
    {
        WIN32VER version;
        if (!version.LoadFromModule(GetModuleHandleA(0)))
            return;
        memset(text, 0, sizeof text);
        version.FormatAboutText(text);
    }  // the block is released before the box shows
    app.aboutOpen = 1;
    MessageBoxA(owner, text, ABOUT_CAPTION, ABOUT_BOX_STYLE);
    app.aboutOpen = 0;
}
