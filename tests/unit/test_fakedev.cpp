// The fake device stack's own rules, the ones Windows has and the program's
// tests lean on: what an eject leaves behind, a refused eject, and trees
// that Windows could not report.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/unit/desk.h"

namespace {

// A stick (10) with a disk (11, listed before it) and a volume (12), a
// busy reader (20) with a card (21), and a hub (2) above both.
const std::string kDesk =
    "# hub\n" + Node(2, 0, 0x180200a, 0, kUsb, "Hub") + Node(11, 10, 0x180200a, 0, kDisk, "Disk") +
    Node(10, 2, 0x180600a, 0, kUsb, "Stick") + Node(12, 11, 0x180200a, 0, kVolume, "Volume") +
    Node(20, 2, 0x180600a, 0, kUsb, "Reader", "-", "nostatus, veto") +
    Node(21, 20, 0x180200a, 0, kDisk, "Card");

// "id status problem" per node, in device-set order; a status read that fails shows "-".
std::string Nodes()
{
    std::string out;
    HDEVINFO set = SetupDiGetClassDevsA(0, 0, 0, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA data;
    data.cbSize = sizeof data;
    for (DWORD k = 0; SetupDiEnumDeviceInfo(set, k, &data); ++k) {
        ULONG status = 0, problem = 0;
        char line[64];
        if (CM_Get_DevNode_Status(&status, &problem, data.DevInst, 0) == CR_SUCCESS)
            snprintf(line, sizeof line, "%lu 0x%lx %lu\n", (unsigned long)data.DevInst,
                     (unsigned long)status, (unsigned long)problem);
        else
            snprintf(line, sizeof line, "%lu -\n", (unsigned long)data.DevInst);
        out += line;
    }
    SetupDiDestroyDeviceInfoList(set);
    return out;
}

const char* const kUntouched =
    "2 0x180200a 0\n11 0x180200a 0\n10 0x180600a 0\n12 0x180200a 0\n20 -\n21 0x180200a 0\n";

struct EjectCase {
    const char* what;
    DWORD dev;
    bool nameBuffer;
    ULONG nameLength;
    CONFIGRET result;
    const char* nodes;  // afterwards
};

const EjectCase kEjects[] = {
    {"held with a problem, all below gone", 10, false, 0, CR_SUCCESS,
     "2 0x180200a 0\n10 0x180640a 47\n20 -\n21 0x180200a 0\n"},
    {"with a name buffer", 10, true, 64, CR_SUCCESS,
     "2 0x180200a 0\n10 0x180640a 47\n20 -\n21 0x180200a 0\n"},
    {"every node below, not only the first line", 2, false, 0, CR_SUCCESS, "2 0x180240a 47\n"},
    {"in use: vetoed", 20, true, 64, 0x17 /* CR_REMOVE_VETOED */, kUntouched},
    {"in use, no veto outputs", 20, false, 0, 0x17, kUntouched},
    {"null name with a length", 10, false, 64, CR_INVALID_POINTER, kUntouched},
    {"unknown node", 99, false, 0, CR_INVALID_DEVNODE, kUntouched},
};

TEST(FakeDev, EjectsAsWindowsDoes)
{
    for (const EjectCase& c : kEjects) {
        FakeDev_Reset();
        ASSERT_EQ(1, FakeDev_LoadText(kDesk));
        char name[64] = "x";
        EXPECT_EQ(c.result,
                  CM_Request_Device_EjectA(c.dev, 0, c.nameBuffer ? name : 0, c.nameLength, 0))
            << c.what;
        EXPECT_EQ(c.nodes, Nodes()) << c.what;
        EXPECT_EQ(1u, FakeDev_Ejects().size()) << c.what << ": every request is logged";
        ULONG child = 0;
        EXPECT_EQ(c.result == CR_SUCCESS ? CR_NO_SUCH_DEVNODE : CR_SUCCESS,
                  (int)CM_Get_Child(&child, c.dev == 99 ? 2 : c.dev, 0))
            << c.what;
    }
}

// Through a tree file the held node outlives a re-read and is what the next
// process sees; comments and the other lines stay as they were.
TEST(FakeDev, AnEjectRewritesTheTreeFile)
{
    const std::string path = testing::TempDir() + "fakedev-eject.tree";
    std::ofstream(path) << kDesk;
    setenv("FAKEDEV_TREE", path.c_str(), 1);
    FakeDev_Reset();
    Nodes();
    EXPECT_EQ(CR_SUCCESS, CM_Request_Device_EjectA(11, 0, 0, 0, 0));
    FakeDev_Reset();  // a later process
    EXPECT_EQ("2 0x180200a 0\n11 0x180240a 47\n10 0x180600a 0\n20 -\n21 0x180200a 0\n", Nodes());
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_EQ(0u, text.str().find("# hub\n2|0|")) << text.str();
    EXPECT_NE(std::string::npos, text.str().find("11|10| 0x180240a | 47 |")) << text.str();
    unsetenv("FAKEDEV_TREE");
    remove(path.c_str());
}

// Windows reports a problem number only with DN_HAS_PROBLEM set, and the bit only with a number.
TEST(FakeDev, ATreeThatWindowsCouldNotReportIsRefused)
{
    const struct {
        unsigned status;
        int problem;
        int loads;
    } cases[] = {{0x180600a, 0, 1},
                 {0x180640a, 10, 1},
                 {0x180600a, 10, 0},
                 {0x180640a, 0, 0},
                 {0x400, 47, 1}};
    for (const auto& c : cases) {
        FakeDev_Reset();
        testing::internal::CaptureStderr();
        int loaded =
            FakeDev_LoadText("# a comment\n" + Node(1, 0, c.status, c.problem, kUsb, "Device"));
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(c.loads, loaded) << std::hex << c.status << " " << std::dec << c.problem;
        EXPECT_EQ(!c.loads, said.find("line 2") != std::string::npos) << said;
    }
}

}  // namespace
