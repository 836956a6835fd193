// Which scanned devices the menu offers: the hide list and portable devices.
#include <algorithm>
#include <vector>

#include "tests/unit/desk.h"

namespace {

const char* kWpdLower = "{eec5ad98-8080-425f-922a-dabf3de3f69a}";

// Three devices: a stick whose disk and volume hang below it, a player and
// an input device.
std::string Desk()
{
    return Node(10, 0, 0x6000, 0, kUsb, "-", "USB Mass Storage Device") +
           Node(11, 10, 0, 0, kDisk, "Kingfisher DataStick USB Device") +
           Node(12, 11, 0, 0, kVolume, "-", "Generic volume") +
           Node(20, 0, 0x6000, 0, kWpd, "Pocket Player 8GB", "MTP Device") +
           Node(30, 0, 0x6000, 0, kHid, "-", "USB Input Device");
}

struct Visibility : DeskTest {
    void Hide(int slot, const char* prefix) { g_app->hideList[slot].Append(prefix); }
    // The devices listed, "-" before a hidden one.
    static std::string Shown()
    {
        std::string shown;
        for (DWORD i = 0; i < g_app->devices.count; ++i)
            shown += (i ? ", " : "") + std::string(g_app->visible[i] ? "" : "-") +
                     g_app->devices.table[i].name;
        return shown;
    }
};

TEST_F(Visibility, WithoutATableNothingIsScannedOrShown)
{
    g_app->devices.Free();
    Load(Desk());
    EXPECT_EQ(0u, FakeDev_Count("SetupDiGetClassDevsA"));
    ASSERT_EQ(1u, g_fake.trace.size());
    EXPECT_EQ("VANTREL:UPDATE, 0 DEVICE FOUND.\n", g_fake.trace[0]);
    EXPECT_EQ(0u, CountVisibleDevices());
}

TEST_F(Visibility, EachRefreshStartsFromAnEmptyTable)
{
    Hide(0, "Pocket");
    Load(Desk());
    Load(Desk());
    EXPECT_EQ(3u, g_app->devices.count) << "a second refresh appended to the first";
    EXPECT_EQ("USB Mass Storage Device, -Pocket Player 8GB, USB Input Device", Shown());

    // The player leaves and the input device moves into its row: the row
    // must follow the new device, not keep the player's hidden mark.
    Load(Node(10, 0, 0x6000, 0, kUsb, "-", "USB Mass Storage Device") +
         Node(30, 0, 0x6000, 0, kHid, "-", "USB Input Device"));
    EXPECT_EQ("USB Mass Storage Device, USB Input Device", Shown());
    EXPECT_EQ(2u, CountVisibleDevices());
    EXPECT_EQ("VANTREL:UPDATE, 2 DEVICE FOUND.\n", g_fake.trace.back());
}

// Each row on a fresh hide list: the devices listed, CountVisibleDevices
// agreeing, and the trace counting every device found, hidden or not.
TEST_F(Visibility, WhatTheHideListAndTheSettingsLeaveShown)
{
    std::string wpdLike = kWpd;
    wpdLike[wpdLike.size() - 2] = 'B';  // one digit off
    const std::string problems =
        Node(1, 0, 0x6400, 28, kDisk, "No driver") + Node(2, 0, 0x6000, 0, kDisk, "Fine");
    const std::string desk = "USB Mass Storage Device, Pocket Player 8GB, USB Input Device";
    struct Row {
        const char* what;
        std::vector<std::pair<int, const char*>> hide;
        DWORD hideWpd, hideInvalid;
        std::string tree, shown;
    } rows[] = {
        // clang-format off
        {"problem devices hidden", {}, 0, 1, problems, "Fine"},
        {"problem devices listed", {}, 0, 0, problems, "No driver, Fine"},
        // The player's own name; the stick's deepest node, not its own name.
        {"own name or any node below", {{0, "Pocket"}, {1, "Generic"}}, 0, 1, Desk(),
         "-USB Mass Storage Device, -Pocket Player 8GB, USB Input Device"},
        {"bytes from the start of the name: case, inside, one longer, a late difference",
         {{0, "pocket"}, {1, "Player"}, {2, "Pocket Player 8GB "}, {3, "Kingfisher DataStick USB!"}}, 0, 1, Desk(),
         desk},
        {"the whole name", {{2, "Pocket Player 8GB"}}, 0, 1, Desk(),
         "USB Mass Storage Device, -Pocket Player 8GB, USB Input Device"},
        // An empty entry must not act as a prefix of every name, nor end the list.
        {"empty entries", {{0, ""}, {31, "USB Input"}}, 0, 1, Desk(),
         "USB Mass Storage Device, Pocket Player 8GB, -USB Input Device"},
        {"portable devices shown", {}, 0, 1, Desk(), desk},
        {"portable devices hidden", {}, 1, 1, Desk(), "USB Mass Storage Device, -Pocket Player 8GB, USB Input Device"},
        {"hide list and portable rule add up", {{0, "USB Input"}}, 1, 1, Desk(),
         "USB Mass Storage Device, -Pocket Player 8GB, -USB Input Device"},
        {"portable class on any node below, in any case",
         // Portable only at the second node below, in lower case; own class
         // in lower case; nearly the portable class; no class anywhere.
         {}, 1, 1,
         Node(1, 0, 0x6000, 0, kUsb, "Composite") + Node(2, 1, 0, 0, kHid, "Interface") +
             Node(3, 2, 0, 0, kWpdLower, "Phone storage") + Node(4, 0, 0x6000, 0, kWpdLower, "Camera") +
             Node(5, 0, 0x6000, 0, wpdLike, "Lookalike") + Node(6, 0, 0x6000, 0, "-", "Classless") +
             Node(7, 6, 0, 0, "-", "Classless child"),
         "-Composite, -Camera, Lookalike, Classless"},
        // clang-format on
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        for (CSTR& entry : g_app->hideList)
            entry.Clear();
        for (const auto& h : r.hide)
            Hide(h.first, h.second);
        g_app->HideWPD = r.hideWpd;
        g_app->HideInvalid = r.hideInvalid;
        g_fake.trace.clear();
        Load(r.tree);
        const DWORD found = g_app->devices.count;
        const DWORD hidden = (DWORD)std::count(g_app->visible, g_app->visible + found, 0);
        EXPECT_EQ(r.shown, Shown());
        EXPECT_EQ(found - hidden, CountVisibleDevices());
        const std::string trace = "VANTREL:UPDATE, " + std::to_string(found) + " DEVICE FOUND.\n";
        EXPECT_EQ(std::vector<std::string>{trace}, g_fake.trace);
    }
}

}  // namespace
