// The device scan and the visibility filter over an arbitrary device tree.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/appstate.h"
#include "devices/visibility.h"
#include "tests/fakedev/fakedev.h"
#include "tests/fakes/fakewin.h"
#include "tests/fuzz/fuzzdev.h"

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
    Check(devices.count <= devices.capacity && devices.capacity == MAX_TABLE);
    for (DWORD i = 0; i < devices.count; ++i) {
        const DEVENTRY& e = devices.table[i];
        Check(strnlen(e.name, DEVNAME_SIZE) < DEVNAME_SIZE && e.chainCount <= CHAIN_MAX);
        for (DWORD c = 0; c < e.chainCount; ++c)
            Check(strnlen(e.chain[c].name, DEVNAME_SIZE) < DEVNAME_SIZE);
    }
    Check(CountVisibleDevices() <= devices.count && FakeDev_OpenSets() == 0);
    Check(g_fake.trace.size() == 1 && g_fake.trace[0].size() < TRACE_SIZE);
    return 0;
}
