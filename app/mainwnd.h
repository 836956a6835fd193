// The hidden main window: resident start-up, notifications and commands.
#ifndef VANTREL_MAINWND_H
#define VANTREL_MAINWND_H

#include "app/winlayer.h"

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int OnCreate(HWND window);
int OnDestroy();
int OnCommand(WORD id, HWND window);
int OnPowerBroadcast(WPARAM event, HWND window);
int OnDeviceChange(WPARAM event, HWND window);
// OnTrayNotify, the press on the icon, is the device menu's: tray/devicemenu.h.

int RegisterMainClass(HINSTANCE instance, HCURSOR cursor);
HWND CreateMainWindow(HINSTANCE instance);

#endif
