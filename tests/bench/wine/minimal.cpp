// The yardstick for start-up time: a hidden window with a tray icon and one
// trace line, and nothing else. scripts/bench.sh times it beside vantrel.exe.
#include <windows.h>
#include <shellapi.h>

static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = "MINIMAL";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "MINIMAL", "MINIMAL", 0, 0, 0, 0, 0, 0, 0, instance, 0);
    NOTIFYICONDATAA nid;
    ZeroMemory(&nid, sizeof nid);
    nid.cbSize = sizeof nid;
    nid.hWnd = window;
    nid.uID = 1;
    nid.uFlags = NIF_ICON | NIF_TIP;
    nid.hIcon = LoadIconA(0, IDI_APPLICATION);
    lstrcpyA(nid.szTip, "MINIMAL");
    Shell_NotifyIconA(NIM_ADD, &nid);
    OutputDebugStringA("MINIMAL:UP\n");
    Shell_NotifyIconA(NIM_DELETE, &nid);
    DestroyWindow(window);
    return 0;
}
