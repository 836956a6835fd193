#include "devices/batch.h"

#include <cstdio>
#include <cstring>

#include "app/appstate.h"
#include "app/ids.h"
#include "devices/visibility.h"

INIFILE::INIFILE() { memset(path, 0, sizeof path); }

INIFILE::~INIFILE()
{
    // Leave no copy of the path behind. volatile keeps the clearing from
    // being dropped as a store to an object about to die.
    volatile char* p = path;
    for (size_t k = 0; k < sizeof path; ++k)
        p[k] = 0;
}

int INIFILE::SetPath(const char* text)
{
    if (!text)
        return 0;
    size_t length = strnlen(text, INIPATH_SIZE);
    if (length >= INIPATH_SIZE)
        return 0;
    memcpy(path, text, length + 1);
    return 1;
}

void INIFILE::Unquote()
{
    size_t length = strlen(path);
    while (length > 0 && (path[length - 1] == ' ' || path[length - 1] == '\t'))
        --length;
    if (length < 2 || path[0] != '"' || path[length - 1] != '"')
        return;
    memmove(path, path + 1, length - 2);
    memset(path + length - 2, 0, sizeof path - (length - 2));
}

void RunBatchRemoval(const char* commandLine)
{
    CCFGMGR& devices = g_app->devices;
    if (!devices.Create())
        return;
    devices.hwndParent = 0;
    devices.count = 0;
    devices.Scan(0);

    {
        INIFILE list;
        if (list.SetPath(commandLine)) {
            list.Unquote();
            for (int k = 0; k < LIST_ENTRIES; ++k) {
                char key[8];
                snprintf(key, sizeof key, ENTRY_NAME_FORMAT, k);
                char value[LIST_VALUE_SIZE];
                memset(value, 0, sizeof value);
                if (list.path[0])
                    GetPrivateProfileStringA(LIST_SECTION, key, "", value, sizeof value, list.path);
                if (!value[0])
                    break;
                for (DWORD i = 0; i < devices.count; ++i)
                    if (DeviceMatches(devices.table[i], value))
                        CM_Request_Device_EjectA(devices.table[i].devInst, 0, 0, 0, 0);
            }
        }
    }

    devices.Free();
}
