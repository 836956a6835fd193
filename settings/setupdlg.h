// The Setup dialog and its hide-entry editor: what they show and what OK
// stores, apart from the controls that show it.
#ifndef VANTREL_SETUPDLG_H
#define VANTREL_SETUPDLG_H

#include "app/appstate.h"
#include "app/winlayer.h"

// What the Setup dialog's controls hold: the five check boxes (index k is
// flag k's box) and the 32 list lines, line i standing for hide-list
// entry i.
struct SETUPVIEW {
    UINT checked[SETTING_FLAGS];
    char lines[HIDE_ENTRIES][EDITTEXT_SIZE];
};

// The view of the settings as they stand: each flag as its check state,
// each entry as its line (an empty line for an empty entry).
void LoadSetupView(SETUPVIEW& view);
// OK: every flag becomes 1 or 0 from its box; every line passes through
// editText into its entry. A line whose text cannot be given memory leaves
// its entry as it was and the rest are still stored. Returns the number of
// such lines.
int ApplySetupView(const SETUPVIEW& view);

// Hands every scanned name to add, in table order: each device's own node,
// then its chain members. Hidden devices too; nothing when there is no table.
void ForEachScannedName(void (*add)(const char* name, void* context), void* context);

#ifdef _WIN32
INT_PTR CALLBACK SetupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HideDeviceDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void EditHideEntry(HWND list, HWND dialog);
void CenterOnScreen(HWND window);
void CenterOnParent(HWND parent, HWND window);
#endif

#endif
