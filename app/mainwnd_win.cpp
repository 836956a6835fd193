// The window procedure routes; each handler does one thing.
#include "app/mainwnd.h"

#include <dbt.h>

#include "app/appstate.h"
#include "app/ids.h"
#include "devices/visibility.h"
#include "settings/setupdlg.h"
#include "settings/store.h"
#include "settings/win32ver.h"
#include "tray/devicemenu.h"
#include "tray/trayicon.h"

int RegisterMainClass(HINSTANCE instance, HCURSOR cursor)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN));
    wc.hCursor = cursor;
    // Never painted: the window stays hidden.
    wc.hbrBackground = (HBRUSH)(COLOR_INACTIVEBORDER + 1);
    wc.lpszClassName = APP_NAME;
    if (RegisterClassA(&wc))
        return 1;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS ? 1 : 0;
}

HWND CreateMainWindow(HINSTANCE instance)
{
    HWND window = CreateWindowExA(0, APP_NAME, APP_NAME, 0, 0, 0, 0, 0, 0, 0, instance, 0);
    if (window) {
        ShowWindow(window, SW_HIDE);
        UpdateWindow(window);
    }
    return window;
}

static int StartupError(HWND window, const char* text)
{
    MessageBoxA(window, text, ERROR_CAPTION, ERROR_BOX_STYLE);
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

int OnCreate(HWND window)
{
    APPSTATE& app = *g_app;
    if (!app.mutex.Create())
        return StartupError(window, TEXT_ALREADY_EXECUTED);
    LoadSettings();
    if (!app.devices.Create())
        return StartupError(window, TEXT_CUSBDEV_ERROR);
    RefreshDevices(window);
    if (!app.tray.Create(app.hInstance, window))
        return StartupError(window, TEXT_TTICON_ERROR);
    if (app.tray.slots) {
        app.tray.nid.uFlags |= NIF_MESSAGE;
        app.tray.nid.uCallbackMessage = WM_TRAYNOTIFY;
    }
    app.tray.SetTip();
    LoadTrayIcon();
    UpdateTrayIcon();
    return 1;
}

int OnDestroy()
{
    APPSTATE& app = *g_app;
    app.tray.Delete();
    app.tray.Destroy();
    app.devices.Free();
    app.mutex.Release();
    PostQuitMessage(0);
    return 0;
}

int OnCommand(WORD id, HWND window)
{
    APPSTATE& app = *g_app;
    if (id >= ID_DEVICE_BASE && id < ID_DEVICE_BASE + MAX_TABLE) {
        DWORD devInst = ResolveDeviceCommand(app.lastMenu, app.devices, id - ID_DEVICE_BASE);
        // With no veto outputs the system itself tells the user the outcome.
        if (devInst)
            CM_Request_Device_EjectA(devInst, 0, 0, 0, 0);
        return 0;
    }
    switch (id) {
    case ID_SHOWICON:
        // A window whose start-up failed (its error box still dispatching)
        // has not loaded the settings; saving them would wipe the user's.
        if (!app.tray.slots)
            break;
        app.AutoShow = 0;
        UpdateTrayIcon();
        SaveSettings();
        break;
    case ID_SCAN:
        RefreshDevices(window);
        UpdateTrayIcon();
        break;
    case ID_SETUP:
        if (DialogBoxParamA(app.hInstance, MAKEINTRESOURCEA(IDD_SETUP), 0, SetupDlgProc, 0)) {
            RefreshDevices(window);
            UpdateTrayIcon();
            SaveSettings();
        }
        break;
    case ID_ABOUT:
        ShowAboutBox(window);
        break;
    case ID_EXIT:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    }
    return 0;
}

int OnPowerBroadcast(WPARAM event, HWND window)
{
    if (event != PBT_APMRESUMESUSPEND)
        return 0;
    RefreshDevices(window);
    UpdateTrayIcon();
    return 1;
}

int OnDeviceChange(WPARAM event, HWND window)
{
    if (event == DBT_DEVNODES_CHANGED || event == DBT_DEVICEARRIVAL)
        PostMessageA(window, WM_COMMAND, ID_SCAN, 0);
    return 0;
}

static LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        return OnDestroy();
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), window);
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(wParam, window);
    case WM_DEVICECHANGE:
        return OnDeviceChange(wParam, window);
    case WM_TRAYNOTIFY:
        return OnTrayNotify(lParam, window);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Dispatch(window, message, wParam, lParam);
    // Every message, handled or not, so the icon returns when the taskbar
    // is re-created.
    if (g_app)
        g_app->tray.OnTaskbarCreated(message);
    return result;
}
