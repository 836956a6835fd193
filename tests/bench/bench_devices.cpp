// Cost of one refresh on the largest table the program keeps (32 devices,
// each with a line of 32 nodes below it) with the visibility count the tray
// icon asks for after it, and of building the device menu on it
// (tests/data/full.tree: 32 devices, chains of 32): time, configuration-
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
const char* kDisk = "{4D36E967-E325-11CE-BFC1-08002BE10318}";

// Both fakes reset under a new state, on this device tree.
void Desk(const std::string& tree)
{
    FakeWin_Reset();
    FakeDev_Reset();
    FakeDev_LoadText(tree);
    CreateAppState(0);
    g_app->devices.Create();
}

std::string FullDesk()
{
    std::string tree;
    unsigned id = 1;
    for (int d = 0; d < 32; ++d) {
        unsigned top = id++;
        tree +=
            std::to_string(top) + "|0|0x6180|0|" + kDisk + "|Device " + std::to_string(d) + "|-\n";
        unsigned parent = top;
        for (int c = 0; c < 40; ++c) {  // deeper than the program follows
            unsigned node = id++;
            tree += std::to_string(node) + "|" + std::to_string(parent) + "|0x0180|0|" + kDisk +
                    "|Node " + std::to_string(c) + "|-\n";
            parent = node;
        }
    }
    return tree;
}

void Setup(int hideEntries)
{
    Desk(FullDesk());
    g_app->HideWPD = 1;
    for (int k = 0; k < hideEntries; ++k)
        g_app->hideList[k].Append(("Nothing like it " + std::to_string(k)).c_str());
}

const char* kCalls[] = {
    "SetupDiGetClassDevsA",  "SetupDiEnumDeviceInfo", "SetupDiDestroyDeviceInfoList",
    "CM_Get_DevNode_Status", "CM_Get_Child",          "CM_Get_DevNode_Registry_PropertyA"};

void BM_Refresh(benchmark::State& state)
{
    Setup((int)state.range(0));
    for (auto _ : state) {
        RefreshDevices(0);
        g_fake.trace.clear();
        benchmark::DoNotOptimize(CountVisibleDevices());
    }
    double total = 0;
    for (const char* name : kCalls) {
        double per = double(FakeDev_Count(name)) / double(state.iterations());
        state.counters[name] = per;
        total += per;
    }
    state.counters["calls"] = total;
    state.counters["devices"] = g_app->devices.count;
    DestroyAppState();
}
BENCHMARK(BM_Refresh)->Arg(0)->Arg(32)->ArgName("hide");

std::string FullTree()
{
    std::string here = __FILE__;
    std::ifstream in(here.substr(0, here.rfind('/')) + "/../data/full.tree");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void BM_BuildDeviceMenu(benchmark::State& state)
{
    Desk(FullTree());
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
