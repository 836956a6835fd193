// Cost of one refresh on the largest table the program keeps
// (tests/data/full.tree: 32 devices, each with a line of nodes deeper than
// the program follows) with the visibility count the tray icon asks for
// after it, and of building the device menu on it: time, configuration-
// manager calls and heap allocations per refresh or build.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

#include "app/appstate.h"
#include "devices/visibility.h"
#include "tests/fakedev/fakedev.h"
#include "tests/fakes/fakewin.h"
#include "tray/devicemenu.h"

namespace {

unsigned long g_allocations = 0;

std::string FullTree()
{
    std::string here = __FILE__;
    std::ifstream in(here.substr(0, here.rfind('/')) + "/../data/full.tree");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Both fakes reset under a new state, on the full table.
void Desk()
{
    FakeWin_Reset();
    FakeDev_Reset();
    FakeDev_LoadText(FullTree());
    CreateAppState(0);
    g_app->devices.Create();
}

void BM_Refresh(benchmark::State& state)
{
    Desk();
    g_app->HideWPD = 1;
    for (int k = 0; k < state.range(0); ++k)
        g_app->hideList[k].Append(("Nothing like it " + std::to_string(k)).c_str());
    for (auto _ : state) {
        RefreshDevices(0);
        g_fake.trace.clear();
        benchmark::DoNotOptimize(CountVisibleDevices());
    }
    double total = 0;
    for (const char* name : kFakeDevFunctions) {
        double per = double(FakeDev_Count(name)) / double(state.iterations());
        state.counters[name] = per;
        total += per;
    }
    state.counters["calls"] = total;
    state.counters["devices"] = g_app->devices.count;
    DestroyAppState();
}
BENCHMARK(BM_Refresh)->Arg(0)->Arg(32)->ArgName("hide");

void BM_BuildDeviceMenu(benchmark::State& state)
{
    Desk();
    g_app->ChildOnly = (DWORD)state.range(0);
    strcpy(g_app->ChildForm, "%s+ %s");
    strcpy(g_app->ChildSpace, " ");
    RefreshDevices(0);
    unsigned before = FakeDev_Count("CM_Get_DevNode_Registry_PropertyA");
    unsigned long allocations = g_allocations;
    DWORD entries = 0;
    for (auto _ : state) {
        MENULIST list;
        BuildDeviceMenu(list);
        entries = list.count;
        benchmark::DoNotOptimize(list.entries);
    }
    double builds = double(state.iterations());
    state.counters["entries"] = entries;
    state.counters["allocs"] = double(g_allocations - allocations) / builds;
    state.counters["propreads"] =
        double(FakeDev_Count("CM_Get_DevNode_Registry_PropertyA") - before) / builds;
    DestroyAppState();
}
BENCHMARK(BM_BuildDeviceMenu)->Arg(0)->Arg(1)->ArgName("childonly");

}  // namespace

// Counts every allocation of the process; only the difference across the
// builds is reported.
void* operator new(size_t size)
{
    ++g_allocations;
    void* p = malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    return malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }

BENCHMARK_MAIN();
