// The popup menu of removable devices opened from the tray icon.
#ifndef VANTREL_DEVICEMENU_H
#define VANTREL_DEVICEMENU_H

#include "app/winlayer.h"

// Shows the menu and returns once it has closed; the chosen entry comes
// back later as WM_COMMAND.
void ShowDeviceMenu(HWND window);

#endif
