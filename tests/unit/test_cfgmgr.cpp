// The device table against fake device trees.
#include <cstdio>
#include <cstring>

#include "devices/cfgmgr.h"
#include "tests/unit/desk.h"

namespace {

// A disk node; the rest as Node.
std::string DiskNode(int id, int parent, unsigned status, int problem, const std::string& friendly,
                     const std::string& desc = "-", const std::string& switches = "")
{
    return Node(id, parent, status, problem, kDisk, friendly, desc, switches);
}

struct Table : FakesTest {
    CCFGMGR table;
    void SetUp() override
    {
        FakesTest::SetUp();
        ASSERT_EQ(1, table.Create());
    }
    void Scan(const std::string& tree, int acceptProblems = 0)
    {
        ASSERT_EQ(1, FakeDev_LoadText(tree));
        table.count = 0;
        table.Scan(acceptProblems);
        EXPECT_EQ(0, FakeDev_OpenSets()) << "device set not released";
    }
};

TEST_F(Table, CreateGivesAnEmptyZeroedTableWithNoOwner)
{
    table.hwndParent = (HWND)0x1234;
    table.count = 5;
    ASSERT_EQ(1, table.Create());
    EXPECT_EQ(nullptr, table.hwndParent);
    EXPECT_EQ(32u, table.capacity);
    EXPECT_EQ(0u, table.count);
    EXPECT_EQ(0u, table.table[31].chainCount);
    EXPECT_EQ('\0', table.table[31].name[0]);
}

// The scanned table, a device a line: "devInst status name", a problem as
// "!N", then the chain members "<devInst name, ...>".
std::string Listing(const CCFGMGR& t)
{
    std::string out;
    for (DWORD i = 0; i < t.count; ++i) {
        const DEVENTRY& e = t.table[i];
        char head[32];
        snprintf(head, sizeof head, "%lu 0x%lx ", (unsigned long)e.devInst,
                 (unsigned long)e.status);
        out += head + std::string(e.name) + (e.problem ? " !" + std::to_string(e.problem) : "");
        for (DWORD c = 0; c < e.chainCount && c < CHAIN_MAX; ++c) {
            const DEVNODEINFO& m = e.chain[c];
            out += (c ? ", " : " <") + std::to_string(m.devInst) + " " + m.name +
                   (m.problem ? " !" + std::to_string(m.problem) : "") +
                   (c + 1 == e.chainCount ? ">" : "");
        }
        out += "\n";
    }
    return out;
}

TEST_F(Table, WhichNodesBecomeDevicesAndWhatTheyHold)
{
    const std::string L255(255, 'L');
    struct Row {
        const char* what;
        std::string tree;
        int acceptProblems;
        std::string expected;
    } rows[] = {
        // clang-format off
        {"no removable device", DiskNode(1, 0, 0x0, 0, "Root hub") + DiskNode(2, 1, 0x2000, 0, "Internal disk"), 0,
         ""},
        {"both removable bits are needed",
         DiskNode(1, 0, 0x4000, 0, "Removable only") + DiskNode(2, 0, 0x2000, 0, "Disableable only") +
             DiskNode(3, 0, 0x6000, 0, "Both") + DiskNode(4, 0, 0x7bff, 0, "All bits"),
         0, "3 0x6000 Both\n4 0x7bff All bits\n"},
        {"problem devices left out", DiskNode(1, 0, 0x6400, 10, "Broken") + DiskNode(2, 0, 0x6000, 0, "Fine"), 0,
         "2 0x6000 Fine\n"},
        {"problem devices accepted", DiskNode(1, 0, 0x6400, 10, "Broken") + DiskNode(2, 0, 0x6000, 0, "Fine"), 1,
         "1 0x6400 Broken !10\n2 0x6000 Fine\n"},
        {"a failing status read skips the device",
         DiskNode(1, 0, 0x6000, 0, "Mute", "-", "nostatus") + DiskNode(2, 0, 0x6000, 0, "Speaks"), 0,
         "2 0x6000 Speaks\n"},
        // 1 has children 2 and 3; 2 has child 4; the sibling 3 is removable
        // itself, a device of its own, and no member; members are recorded
        // whatever their problem.
        {"only first children form the chain",
         DiskNode(1, 0, 0x6000, 0, "Hub") + DiskNode(2, 1, 0x400, 7, "First") + DiskNode(3, 1, 0x6000, 0, "Second") +
             DiskNode(4, 2, 0x0, 0, "Grandchild"),
         0, "1 0x6000 Hub <2 First !7, 4 Grandchild>\n3 0x6000 Second\n"},
        {"a child without status ends the chain before it",
         DiskNode(1, 0, 0x6000, 0, "Top") + DiskNode(2, 1, 0, 0, "Kept") + DiskNode(3, 2, 0, 0, "Mute", "-", "nostatus") +
             DiskNode(4, 3, 0, 0, "Beyond"),
         0, "1 0x6000 Top <2 Kept>\n"},
        {"friendly name, then description, then empty",
         DiskNode(1, 0, 0x6000, 0, "Friendly", "Description") + DiskNode(2, 0, 0x6000, 0, "-", "Description") +
             DiskNode(3, 0, 0x6000, 0, "-", "-"),
         0, "1 0x6000 Friendly\n2 0x6000 Description\n3 0x6000 \n"},
        // 255 bytes fit with the terminator; 256 and 300 do not and fall back.
        {"name length limits",
         DiskNode(1, 0, 0x6000, 0, "~255", "short") + DiskNode(2, 0, 0x6000, 0, "~256", "short") +
             DiskNode(3, 0, 0x6000, 0, "~300", "~300"),
         0, "1 0x6000 " + L255 + "\n2 0x6000 short\n3 0x6000 \n"},
        {"a failed enumeration adds nothing", "!enumfail\n" + DiskNode(1, 0, 0x6000, 0, "Unseen"), 0, ""},
        // clang-format on
    };
    for (const Row& r : rows) {
        Scan(r.tree, r.acceptProblems);
        EXPECT_EQ(r.expected, Listing(table)) << r.what;
    }
}

TEST_F(Table, ThirtyThreeDevicesKeepTheFirstThirtyTwo)
{
    std::string tree;
    for (int k = 1; k <= 33; ++k)
        tree += DiskNode(k, 0, 0x6000, 0, "Disk " + std::to_string(k));
    Scan(tree);
    ASSERT_EQ(32u, table.count);
    EXPECT_STREQ("Disk 1", table.table[0].name);
    EXPECT_STREQ("Disk 32", table.table[31].name);
    // The enumeration stops at the cap instead of reading on.
    EXPECT_EQ(32u, FakeDev_Count("SetupDiEnumDeviceInfo"));
}

TEST_F(Table, ALongLineIsCutAtThirtyTwoMembers)
{
    std::string tree = DiskNode(1, 0, 0x6000, 0, "Top");
    for (int k = 2; k <= 41; ++k)
        tree += DiskNode(k, k - 1, 0, 0, "Level " + std::to_string(k - 1));
    Scan(tree);
    ASSERT_EQ(1u, table.count);
    ASSERT_EQ(32u, table.table[0].chainCount);
    EXPECT_STREQ("Level 32", table.table[0].chain[31].name);
    // No child is asked for once the chain is full.
    EXPECT_EQ(32u, FakeDev_Count("CM_Get_Child"));
}

TEST_F(Table, ReadDevNodeNameAlwaysTerminates)
{
    ASSERT_EQ(1,
              FakeDev_LoadText(DiskNode(1, 0, 0x6000, 0, "~255") + DiskNode(2, 0, 0, 0, "-", "-")));
    char buffer[DEVNAME_SIZE + 1];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(buffer, ReadDevNodeName(1, buffer));
    EXPECT_EQ(255u, strlen(buffer));
    EXPECT_EQ('x', buffer[DEVNAME_SIZE]) << "wrote past the 256-byte buffer";
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(nullptr, ReadDevNodeName(2, buffer));
    EXPECT_STREQ("", buffer);
}

TEST_F(Table, ScanRefusesAMissingOrFullTable)
{
    ASSERT_EQ(1, FakeDev_LoadText(DiskNode(1, 0, 0x6000, 0, "Disk")));
    CCFGMGR empty;
    empty.Scan(1);
    EXPECT_EQ(0u, empty.count);
    EXPECT_EQ(0u, FakeDev_Count("SetupDiGetClassDevsA"));

    // A caller that forgot to reset count must not push the scan past the end.
    table.count = table.capacity;
    table.Scan(1);
    EXPECT_EQ(32u, table.count);
    EXPECT_EQ(0u, FakeDev_Count("SetupDiGetClassDevsA"));
}

TEST_F(Table, ScanAppendsAfterTheCurrentCount)
{
    Scan(DiskNode(1, 0, 0x6000, 0, "A"));
    table.Scan(0);  // no reset: the caller asked for an append
    ASSERT_EQ(2u, table.count);
    EXPECT_STREQ("A", table.table[1].name);
}

TEST_F(Table, ClassGuidReadsStopAtTheLimits)
{
    Scan(DiskNode(1, 0, 0x6000, 0, "Top") + DiskNode(2, 1, 0, 0, "Child") +
         Node(3, 0, 0x6000, 0, "-", "NoClass"));
    char buffer[GUIDTEXT_SIZE];
    ASSERT_EQ(1, table.ReadClassGuid(0, buffer));
    EXPECT_STREQ(kDisk, buffer);
    ASSERT_EQ(1, table.ReadChainClassGuid(0, 0, buffer));
    EXPECT_STREQ(kDisk, buffer);
    EXPECT_EQ(0, table.ReadClassGuid(1, buffer)) << "no class property";

    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(0, table.ReadClassGuid(2, buffer)) << "index equal to count";
    EXPECT_EQ(0, table.ReadChainClassGuid(0, 1, buffer)) << "member equal to chainCount";
    EXPECT_EQ(0, table.ReadChainClassGuid(2, 0, buffer));
    table.table[0].chainCount = CHAIN_MAX + 1;
    EXPECT_EQ(0, table.ReadChainClassGuid(0, CHAIN_MAX, buffer)) << "past the record's members";
    EXPECT_EQ('x', buffer[0]) << "a refused read must leave the buffer alone";
    EXPECT_EQ('x', buffer[GUIDTEXT_SIZE - 1]);
}

TEST_F(Table, FreeAndDestructionEmptyTheHolder)
{
    table.hwndParent = (HWND)0x10;
    table.count = 3;
    table.Free();
    EXPECT_EQ(nullptr, table.table);
    EXPECT_EQ(0u, table.capacity);
    EXPECT_EQ(0u, table.count);
    EXPECT_EQ(nullptr, table.hwndParent);
    table.Free();  // a second release is harmless
    EXPECT_EQ(nullptr, table.table);
}

TEST_F(Table, AScanCostsOnlyTheCallsTheTreeNeeds)
{
    // Two devices, the first with a two-member chain, plus one fixed node.
    Scan(DiskNode(1, 0, 0x6000, 0, "A") + DiskNode(2, 1, 0, 0, "A1") + DiskNode(3, 2, 0, 0, "A2") +
         DiskNode(4, 0, 0x6000, 0, "B") + DiskNode(5, 0, 0, 0, "Fixed"));
    EXPECT_EQ(1u, FakeDev_Count("SetupDiGetClassDevsA"));
    EXPECT_EQ(6u, FakeDev_Count("SetupDiEnumDeviceInfo"));  // five nodes and the end
    EXPECT_EQ(5u + 2u, FakeDev_Count("CM_Get_DevNode_Status"));
    EXPECT_EQ(4u, FakeDev_Count("CM_Get_Child"));  // A: 3 asks, B: 1
    EXPECT_EQ(4u, FakeDev_Count("CM_Get_DevNode_Registry_PropertyA"));
    EXPECT_EQ(1u, FakeDev_Count("SetupDiDestroyDeviceInfoList"));
}

}  // namespace
