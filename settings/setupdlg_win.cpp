// The Setup dialog and the hide-entry editor: their controls, handed the
// view that setupdlg.cpp builds and applies.
#include "settings/setupdlg.h"

#include <cstring>

#include "app/ids.h"
#include "devices/visibility.h"
#include "settings/center.h"

namespace {

void MoveTo(HWND window, const PLACEMENT& p)
{
    MoveWindow(window, p.x, p.y, p.width, p.height, TRUE);
}

void ShowView(HWND dialog, const SETUPVIEW& view)
{
    for (int k = 0; k < SETTING_FLAGS; ++k)
        CheckDlgButton(dialog, kSettingFlags[k].control, view.checked[k]);
    HWND list = GetDlgItem(dialog, IDC_HIDELIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    // Put in by index: the list's sort style must not reorder the lines.
    for (int i = 0; i < HIDE_ENTRIES; ++i)
        SendMessageA(list, LB_INSERTSTRING, i, (LPARAM)view.lines[i]);
}

// Reads one line, and only when it fits: LB_GETTEXT takes no buffer size.
void ReadLine(HWND list, int i, char* line)
{
    memset(line, 0, EDITTEXT_SIZE);
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
    if (length >= 0 && length < EDITTEXT_SIZE)
        SendMessageA(list, LB_GETTEXT, i, (LPARAM)line);
}

void ReadView(HWND dialog, SETUPVIEW& view)
{
    for (int k = 0; k < SETTING_FLAGS; ++k)
        view.checked[k] = IsDlgButtonChecked(dialog, kSettingFlags[k].control) == BST_CHECKED;
    HWND list = GetDlgItem(dialog, IDC_HIDELIST);
    for (int i = 0; i < HIDE_ENTRIES; ++i)
        ReadLine(list, i, view.lines[i]);
}

INT_PTR OnSetupInit(HWND dialog)
{
    APPSTATE& app = *g_app;
    app.setupOpen = 1;
    CenterOnScreen(dialog);
    HMODULE self = GetModuleHandleA(0);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)LoadIconA(self, MAKEINTRESOURCEA(IDI_MAIN)));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                 (LPARAM)LoadIconA(self, MAKEINTRESOURCEA(IDI_TRAY)));
    SETUPVIEW view;
    LoadSetupView(view);
    ShowView(dialog, view);
    ShowWindow(dialog, SW_SHOW);
    return 1;
}

void OnSetupOk(HWND dialog)
{
    SETUPVIEW view;
    ReadView(dialog, view);
    ApplySetupView(view);
    g_app->setupOpen = 0;
    EndDialog(dialog, 1);
}

void OnSetupCommand(HWND dialog, WORD id, WORD code)
{
    if (code == 0 && id == IDOK) {
        OnSetupOk(dialog);
    } else if (code == 0 && id == IDCANCEL) {
        g_app->setupOpen = 0;
        EndDialog(dialog, 0);
    } else if (code == LBN_DBLCLK && id == IDC_HIDELIST) {
        EditHideEntry(GetDlgItem(dialog, IDC_HIDELIST), dialog);
    }
}

void AddName(const char* name, void* combo)
{
    SendMessageA((HWND)combo, CB_ADDSTRING, 0, (LPARAM)name);
}

INT_PTR OnEditorInit(HWND dialog)
{
    CenterOnParent(GetParent(dialog), dialog);
    HWND combo = GetDlgItem(dialog, IDC_DEVICENAME);
    SetWindowTextA(combo, g_app->editText);
    ForEachScannedName(AddName, combo);
    ShowWindow(dialog, SW_SHOW);
    return 1;
}

void OnEditorCommand(HWND dialog, WORD id, WORD code)
{
    if (code != 0)
        return;
    char* editText = g_app->editText;
    if (id == IDOK) {
        memset(editText, 0, EDITTEXT_SIZE);
        GetWindowTextA(GetDlgItem(dialog, IDC_DEVICENAME), editText, EDITTEXT_SIZE);
        EndDialog(dialog, 1);
    } else if (id == IDC_REMOVE) {
        memset(editText, 0, EDITTEXT_SIZE);
        EndDialog(dialog, 1);
    } else if (id == IDCANCEL) {
        EndDialog(dialog, 2);
    }
}

}  // namespace

INT_PTR CALLBACK SetupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return OnSetupInit(dialog);
    if (message != WM_COMMAND)
        return 0;
    OnSetupCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    return 1;
}

INT_PTR CALLBACK HideDeviceDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return OnEditorInit(dialog);
    if (message != WM_COMMAND)
        return 0;
    OnEditorCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    return 1;
}

void EditHideEntry(HWND list, HWND dialog)
{
    APPSTATE& app = *g_app;
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    // No line selected: nothing to edit, and the 32 lines stay as they are.
    if (index < 0 || index >= HIDE_ENTRIES)
        return;
    ReadLine(list, (int)index, app.editText);
    INT_PTR result = DialogBoxParamA(app.hInstance, MAKEINTRESOURCEA(IDD_HIDEDEVICE), dialog,
                                     HideDeviceDlgProc, 0);
    if (LOWORD(result) != 1)
        return;
    SendMessageA(list, LB_DELETESTRING, index, 0);
    SendMessageA(list, LB_INSERTSTRING, index, (LPARAM)app.editText);
    SendMessageA(list, LB_SETCURSEL, index, 0);
    // The Setup dialog has no owner, so this is a null window; the hide
    // list in APPSTATE is still the one the dialog opened with.
    RefreshDevices(GetParent(dialog));
}

void CenterOnScreen(HWND window)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return;
    MoveTo(window, ScreenCentre(r.left, r.top, r.right, r.bottom, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN)));
}

void CenterOnParent(HWND parent, HWND window)
{
    RECT p, w;
    if (!GetWindowRect(parent, &p) || !GetWindowRect(window, &w))
        return;
    MoveTo(window,
           ParentCentre(p.left, p.top, p.right, p.bottom, w.right - w.left, w.bottom - w.top));
}
