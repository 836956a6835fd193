// Batch mode over a list file with arbitrary key values and an arbitrary
// command line. Input: the command line, then one key value per line.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/appstate.h"
#include "devices/batch.h"
#include "tests/fakedev/fakedev.h"
#include "tests/fakes/fakewin.h"
#include "tests/fuzz/fuzzdev.h"

namespace {

const char kDesk[] =
    "1  | 0  | 0x0180 | 0 | - | - | PC\n"
    "10 | 1  | 0x6180 | 0 | - | - | USB Mass Storage Device\n"
    "11 | 10 | 0x0180 | 0 | - | Kingfisher DataStick | Disk drive\n"
    "20 | 1  | 0x6180 | 0 | - | Pocket Player 8GB | MTP Device\n"
    "30 | 1  | 0x6180 | 0 | - | ~255 | -\n"
    "40 | 1  | 0x6580 | 5 | - | Slim Optical Writer | -\n";
const size_t kRemovable = 4;  // devices batch mode may eject

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool ready = false;
    if (!ready) {
        FakeWin_Reset();
        ready = CreateAppState((HINSTANCE)0x400000) != 0;
    }
    FakeDev_Reset();
    FakeDev_LoadText(kDesk);
    g_fake.ini.clear();
    g_fake.iniReads.clear();  // the fake logs every read; keep memory flat
    g_fake.trace.clear();

    std::string text((const char*)data, size);
    size_t eol = text.find('\n');
    std::string line = text.substr(0, eol).c_str();
    INIFILE where;  // the file name batch mode will ask for
    if (where.SetPath(line.c_str()))
        where.Unquote();
    size_t keys = 0;
    while (eol != std::string::npos && keys < 40) {
        size_t next = text.find('\n', eol + 1);
        char key[16];
        snprintf(key, sizeof key, "VANTRL/%02zu", keys++);
        g_fake.ini[where.path][key] = text.substr(eol + 1, next - eol - 1);
        eol = next;
    }

    RunBatchRemoval(line.c_str());
    // One request at most per listed key and device, and the table freed.
    Check(FakeDev_Ejects().size() <= LIST_ENTRIES * kRemovable);
    Check(!g_app->devices.table && FakeDev_OpenSets() == 0);
    return 0;
}
