// Which scanned devices the menu offers: the hide list and portable devices.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "devices/visibility.h"
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

struct Visibility : AppTest {
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_EQ(1, g_app->devices.Create());
    }

    void Refresh(const std::string& tree)
    {
        ASSERT_EQ(1, FakeDev_LoadText(tree));
        RefreshDevices((HWND)0x55);
        EXPECT_EQ(0, FakeDev_OpenSets());
    }
    void Hide(int slot, const char* prefix) { g_app->hideList[slot].Append(prefix); }
    std::vector<int> Visible() const
    {
        std::vector<int> v;
        for (DWORD i = 0; i < g_app->devices.count; ++i)
            v.push_back(g_app->visible[i]);
        return v;
    }
};

TEST_F(Visibility, TraceCountsEveryDeviceFoundHiddenOrNot)
{
    Hide(0, "Pocket");
    Refresh(Desk());
    ASSERT_FALSE(g_fake.trace.empty());
    EXPECT_EQ("VANTREL:UPDATE, 3 DEVICE FOUND.\n", g_fake.trace.back());
    EXPECT_EQ(2u, CountVisibleDevices());
}

TEST_F(Visibility, WithoutATableNothingIsScannedOrShown)
{
    g_app->devices.Free();
    Refresh(Desk());
    EXPECT_EQ(0u, FakeDev_Count("SetupDiGetClassDevsA"));
    ASSERT_EQ(1u, g_fake.trace.size());
    EXPECT_EQ("VANTREL:UPDATE, 0 DEVICE FOUND.\n", g_fake.trace[0]);
    EXPECT_EQ(0u, CountVisibleDevices());
}

TEST_F(Visibility, EachRefreshStartsFromAnEmptyTable)
{
    Hide(0, "Pocket");
    Refresh(Desk());
    Refresh(Desk());
    EXPECT_EQ(3u, g_app->devices.count) << "a second refresh appended to the first";
    EXPECT_EQ((std::vector<int>{1, 0, 1}), Visible());

    // The player leaves and the input device moves into its row: the row
    // must follow the new device, not keep the player's hidden mark.
    Refresh(Node(10, 0, 0x6000, 0, kUsb, "-", "USB Mass Storage Device") +
            Node(30, 0, 0x6000, 0, kHid, "-", "USB Input Device"));
    EXPECT_EQ((std::vector<int>{1, 1}), Visible());
    EXPECT_EQ(2u, CountVisibleDevices());
    EXPECT_EQ("VANTREL:UPDATE, 2 DEVICE FOUND.\n", g_fake.trace.back());
}

TEST_F(Visibility, HideInvalidDecidesWhetherProblemDevicesAreListed)
{
    std::string tree = Node(1, 0, 0x6400, 28, kDisk, "No driver") + Node(2, 0, 0x6000, 0, kDisk, "Fine");
    g_app->HideInvalid = 1;
    Refresh(tree);
    ASSERT_EQ(1u, g_app->devices.count);
    EXPECT_STREQ("Fine", g_app->devices.table[0].name);

    g_app->HideInvalid = 0;
    Refresh(tree);
    ASSERT_EQ(2u, g_app->devices.count);
    EXPECT_STREQ("No driver", g_app->devices.table[0].name);
    EXPECT_EQ(2u, CountVisibleDevices());
}

TEST_F(Visibility, HideListMatchesTheOwnNameOrAnyNodeBelow)
{
    Hide(0, "Pocket");   // the player's own name
    Hide(1, "Generic");  // the stick's deepest node, not its own name
    Refresh(Desk());
    EXPECT_EQ((std::vector<int>{0, 0, 1}), Visible());
    EXPECT_EQ(1u, CountVisibleDevices());
}

TEST_F(Visibility, HideListComparesBytesFromTheStartOfTheName)
{
    Hide(0, "pocket");                     // wrong case
    Hide(1, "Player");                     // inside the name, not at its start
    Hide(2, "Pocket Player 8GB ");         // one byte longer than the name
    Hide(3, "Kingfisher DataStick USB!");  // differs after a long common start
    Refresh(Desk());
    EXPECT_EQ((std::vector<int>{1, 1, 1}), Visible());

    g_app->hideList[2].Clear();
    Hide(2, "Pocket Player 8GB");  // the whole name
    Refresh(Desk());
    EXPECT_EQ((std::vector<int>{1, 0, 1}), Visible());
}

TEST_F(Visibility, EmptyHideEntriesHideNothingAndDoNotEndTheList)
{
    Hide(0, "");  // an empty entry must not act as a prefix of every name
    Hide(31, "USB Input");
    Refresh(Desk());
    EXPECT_EQ((std::vector<int>{1, 1, 0}), Visible());
}

TEST_F(Visibility, PortableDevicesAreHiddenOnlyWhileHideWPDIsOn)
{
    g_app->HideWPD = 0;
    Refresh(Desk());
    EXPECT_EQ((std::vector<int>{1, 1, 1}), Visible());

    g_app->HideWPD = 1;
    Refresh(Desk());
    EXPECT_EQ((std::vector<int>{1, 0, 1}), Visible());
    EXPECT_EQ(2u, CountVisibleDevices());
}

TEST_F(Visibility, PortableClassCountsOnAnyNodeBelowAndIgnoresCase)
{
    g_app->HideWPD = 1;
    std::string wpdLike = kWpd;
    wpdLike[wpdLike.size() - 2] = 'B';  // one digit off
    Refresh(
        // Portable only at the second node below, and in lower case.
        Node(1, 0, 0x6000, 0, kUsb, "Composite") + Node(2, 1, 0, 0, kHid, "Interface") +
        Node(3, 2, 0, 0, kWpdLower, "Phone storage") +
        // Own class in lower case.
        Node(4, 0, 0x6000, 0, kWpdLower, "Camera") +
        // Nearly the portable class.
        Node(5, 0, 0x6000, 0, wpdLike, "Lookalike") +
        // No class anywhere: nothing to hide it for.
        Node(6, 0, 0x6000, 0, "-", "Classless") + Node(7, 6, 0, 0, "-", "Classless child"));
    EXPECT_EQ((std::vector<int>{0, 0, 1, 1}), Visible());
}

TEST_F(Visibility, HideListAndPortableRuleAddUp)
{
    g_app->HideWPD = 1;
    Hide(0, "USB Input");
    Refresh(Desk());
    EXPECT_EQ((std::vector<int>{1, 0, 0}), Visible());
    EXPECT_EQ(1u, CountVisibleDevices());
}

}  // namespace
