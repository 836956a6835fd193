#include "tray/devicemenu.h"

// The menu itself is not built yet: a press on the icon shows nothing.
void ShowDeviceMenu(HWND window) { (void)window; }
