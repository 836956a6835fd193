// Test build only (vantrel_faults.exe): forced in front of every program
// source with -include, it sends the registry key and tray icon calls
// through the fault switch in faults_win.cpp. The shipped exe never sees it.
#ifndef VANTREL_FAULTS_H
#define VANTREL_FAULTS_H

#include "app/winlayer.h"

LONG WINAPI FaultRegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR cls,
                                 DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES sa,
                                 PHKEY result, LPDWORD disposition);
BOOL WINAPI FaultShell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data);

#define RegCreateKeyExA FaultRegCreateKeyExA
#define Shell_NotifyIconA FaultShell_NotifyIconA

#endif
