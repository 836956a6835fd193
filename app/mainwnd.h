// The hidden main window: resident start-up, notifications and commands.
#ifndef VANTREL_MAINWND_H
#define VANTREL_MAINWND_H

#include "app/winlayer.h"

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int OnCreate(HWND window);
int OnDestroy();
int OnCommand(WORD id, HWND window);
int OnTrayNotify(LPARAM mouseMessage, HWND window);
void ForceForeground(HWND window);
void TakeForeground(HWND window);

int RegisterMainClass(HINSTANCE instance, HCURSOR cursor);
HWND CreateMainWindow(HINSTANCE instance);

#endif
