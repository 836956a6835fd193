#include "devices/visibility.h"

#include <cstdio>
#include <cstring>

#include "app/appstate.h"

int NameStartsWith(const char* name, const char* prefix, size_t prefixLength)
{
    // strncmp stops at the name's terminator, so a shorter name differs.
    return strncmp(name, prefix, prefixLength) == 0;
}

int DeviceMatches(const DEVENTRY& entry, const char* prefix)
{
    size_t n = strlen(prefix);
    if (NameStartsWith(entry.name, prefix, n))
        return 1;
    for (DWORD c = 0; c < entry.chainCount; ++c)
        if (NameStartsWith(entry.chain[c].name, prefix, n))
            return 1;
    return 0;
}

static int HiddenByList(const DEVENTRY& entry)
{
    for (int k = 0; k < HIDE_ENTRIES; ++k) {
        const char* prefix = g_app->hideList[k].buffer;
        if (prefix && DeviceMatches(entry, prefix))
            return 1;
    }
    return 0;
}

static int HiddenAsPortable(const CUSBDEV& devices, DWORD i)
{
    char text[GUIDTEXT_SIZE];
    if (devices.ReadClassGuid(i, text) && LookupClassSlot(devices, text) == CLASS_WPD)
        return 1;
    for (DWORD c = 0; c < devices.table[i].chainCount; ++c)
        if (devices.ReadChainClassGuid(i, c, text) && LookupClassSlot(devices, text) == CLASS_WPD)
            return 1;
    return 0;
}

void RefreshDevices(HWND window)
{
    APPSTATE& app = *g_app;
    CUSBDEV& devices = app.devices;
    if (devices.table) {
        devices.hwndParent = window;
        devices.count = 0;
        devices.Scan(app.HideInvalid ? 0 : 1);
    }

    char line[TRACE_SIZE];
    snprintf(line, sizeof line, "VANTREL:UPDATE, %d DEVICE FOUND.\n",
             devices.table ? (int)devices.count : 0);
    OutputDebugStringA(line);

    if (!devices.table)
        return;
    for (DWORD i = 0; i < devices.count; ++i) {
        int hidden = HiddenByList(devices.table[i]);
        if (!hidden && app.HideWPD)
            hidden = HiddenAsPortable(devices, i);
        app.visible[i] = hidden ? 0 : 1;
    }
}

DWORD CountVisibleDevices()
{
    const CUSBDEV& devices = g_app->devices;
    if (!devices.table)
        return 0;
    DWORD shown = 0;
    for (DWORD i = 0; i < devices.count; ++i)
        if (g_app->visible[i])
            ++shown;
    return shown;
}
