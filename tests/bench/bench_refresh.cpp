// Cost of one refresh on the largest table the program keeps (32 devices,
// each with a line of 32 nodes below it), and of the visibility count the
// tray icon asks for after it. Prints configuration-manager calls per
// refresh beside the time.
#include <benchmark/benchmark.h>

#include <string>

#include "app/appstate.h"
#include "devices/visibility.h"
#include "tests/fakedev/fakedev.h"
#include "tests/fakes/fakewin.h"

namespace {

const char* kDisk = "{4D36E967-E325-11CE-BFC1-08002BE10318}";

std::string FullDesk()
{
    std::string tree;
    unsigned id = 1;
    for (int d = 0; d < 32; ++d) {
        unsigned top = id++;
        tree += std::to_string(top) + "|0|0x6180|0|" + kDisk + "|Device " + std::to_string(d) +
                "|-\n";
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
    FakeWin_Reset();
    FakeDev_Reset();
    FakeDev_LoadText(FullDesk());
    CreateAppState(0);
    g_app->devices.Create();
    g_app->HideWPD = 1;
    for (int k = 0; k < hideEntries; ++k)
        g_app->hideList[k].Append(("Nothing like it " + std::to_string(k)).c_str());
}

const char* kCalls[] = {"SetupDiGetClassDevsA", "SetupDiEnumDeviceInfo",
                        "SetupDiDestroyDeviceInfoList", "CM_Get_DevNode_Status", "CM_Get_Child",
                        "CM_Get_DevNode_Registry_PropertyA"};

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

}  // namespace

BENCHMARK_MAIN();
