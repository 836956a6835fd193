// The device scan and the visibility filter over an arbitrary device tree.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/appstate.h"
#include "devices/visibility.h"
#include "tests/fakes/fakewin.h"
#include "tests/fuzz/fuzzdev.h"

namespace {

void CheckName(const char* name)
{
    if (strnlen(name, DEVNAME_SIZE) >= DEVNAME_SIZE)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool ready = false;
    if (!ready) {
        FakeWin_Reset();
        ready = CreateAppState((HINSTANCE)0x400000) != 0 && g_app->devices.Create() != 0;
        g_app->hideList[0].Append("L");
    }
    FuzzDev_Load(data, size);
    g_fake.trace.clear();
    APPSTATE& app = *g_app;
    app.HideInvalid = size & 1;
    app.ChildOnly = (size >> 1) & 1;
    app.HideWPD = (size >> 2) & 1;
    RefreshDevices(0);

    CCFGMGR& devices = app.devices;
    if (devices.count > devices.capacity || devices.capacity != MAX_TABLE)
        __builtin_trap();
    for (DWORD i = 0; i < devices.count; ++i) {
        const DEVENTRY& e = devices.table[i];
        CheckName(e.name);
        if (e.chainCount > CHAIN_MAX)
            __builtin_trap();
        for (DWORD c = 0; c < e.chainCount; ++c)
            CheckName(e.chain[c].name);
    }
    if (CountVisibleDevices() > devices.count || FuzzDev_OpenSets() != 0)
        __builtin_trap();
    if (g_fake.trace.size() != 1 || g_fake.trace[0].size() >= TRACE_SIZE)
        __builtin_trap();
    return 0;
}
