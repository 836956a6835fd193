#include "settings/setupdlg.h"

#include <cstring>

void LoadSetupView(SETUPVIEW& view)
{
    APPSTATE& app = *g_app;
    memset(&view, 0, sizeof view);
    for (int k = 0; k < SETTING_FLAGS; ++k)
        view.checked[k] = *app.Flag(k) ? 1 : 0;
    for (int i = 0; i < HIDE_ENTRIES; ++i) {
        const char* text = app.hideList[i].buffer;
        if (text)
            strncpy(view.lines[i], text, EDITTEXT_SIZE - 1);
    }
}

int ApplySetupView(const SETUPVIEW& view)
{
    APPSTATE& app = *g_app;
    for (int k = 0; k < SETTING_FLAGS; ++k)
        *app.Flag(k) = view.checked[k] ? 1 : 0;
    int kept = 0;
    for (int i = 0; i < HIDE_ENTRIES; ++i) {
        memset(app.editText, 0, EDITTEXT_SIZE);
        strncpy(app.editText, view.lines[i], EDITTEXT_SIZE - 1);
        if (!app.hideList[i].Replace(app.editText))
            ++kept;
    }
    return kept;
}

void ForEachScannedName(void (*add)(const char* name, void* context), void* context)
{
    const CCFGMGR& devices = g_app->devices;
    if (!devices.table)
        return;
    for (DWORD i = 0; i < devices.count && i < devices.capacity; ++i) {
        const DEVENTRY& entry = devices.table[i];
        add(entry.name, context);
        for (DWORD j = 0; j < entry.chainCount && j < CHAIN_MAX; ++j)
            add(entry.chain[j].name, context);
    }
}
