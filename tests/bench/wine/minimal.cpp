// The start-up yardstick for scripts/bench.sh: a hidden window of the program's
// class and title (the probe's exit command reaches it), the program's manifest,
// a tray icon, the trace line after it, then resident until told to exit.
#include <windows.h>
#include <shellapi.h>

#include "app/ids.h"

static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == ID_EXIT)
        DestroyWindow(window);
    else if (message == WM_DESTROY)
        PostQuitMessage(0);
    else
        return DefWindowProcA(window, message, wParam, lParam);
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = APP_NAME;
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, APP_NAME, APP_NAME, 0, 0, 0, 0, 0, 0, 0, instance, 0);
    ShowWindow(window, SW_HIDE);
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = window;
    nid.uID = 1;
    nid.uFlags = NIF_ICON | NIF_TIP;
    nid.hIcon = LoadIconA(0, IDI_APPLICATION);
    lstrcpyA(nid.szTip, "MINIMAL");
    Shell_NotifyIconA(NIM_ADD, &nid);
    OutputDebugStringA("MINIMAL:UP\n");
    MSG msg;
    while (GetMessageA(&msg, 0, 0, 0) > 0)
        DispatchMessageA(&msg);
    Shell_NotifyIconA(NIM_DELETE, &nid);
    return 0;
}
