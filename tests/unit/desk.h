// Building blocks for the unit tests: device trees for the fake stack and
// the fixtures; it brings gtest and std::string with them.
#ifndef VANTREL_TESTS_DESK_H
#define VANTREL_TESTS_DESK_H

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/appstate.h"
#include "devices/usbdev.h"
#include "devices/visibility.h"
#include "tests/fakedev/fakedev.h"
#include "tests/fakes/fakewin.h"

// Class GUID texts from the program's own table; volumes are a class it does not know.
inline const char* const& kCdrom = kClassTexts[1];
inline const char* const& kDisk = kClassTexts[2];
inline const char* const& kHid = kClassTexts[3];
inline const char* const& kMouse = kClassTexts[7];
inline const char* const& kUsb = kClassTexts[10];
inline const char* const& kWpd = kClassTexts[CLASS_WPD];
inline constexpr const char* kVolume = "{71A27CDD-812A-11D0-BEC7-08002BE2092F}";

// One line of a tree file; "-" marks an absent property, `switches` the optional last field.
inline std::string Node(int id, int parent, unsigned status, int problem, const std::string& cls,
                        const std::string& friendly, const std::string& desc = "-",
                        const std::string& switches = "")
{
    char head[64];
    snprintf(head, sizeof head, "%d|%d|0x%x|%d|", id, parent, status, problem);
    return head + cls + "|" + friendly + "|" + desc + (switches.empty() ? "" : "|" + switches) +
           "\n";
}

// Both fakes reset.
struct FakesTest : ::testing::Test {
    void SetUp() override
    {
        FakeDev_Reset();
        FakeWin_Reset();
    }
};

// Both fakes reset under a new state record (this header brings all three).
struct AppTest : FakesTest {
    void SetUp() override
    {
        FakesTest::SetUp();
        ASSERT_EQ(1, CreateAppState((HINSTANCE)0x400000));
    }
    void TearDown() override { DestroyAppState(); }
    // All over again, for the next row of a table.
    void Fresh()
    {
        TearDown();
        SetUp();
    }
};

// With an empty device table, filled by Load as a device change fills it.
struct DeskTest : AppTest {
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_EQ(1, g_app->devices.Create());
    }
    void Load(const std::string& tree, HWND window = 0)
    {
        ASSERT_EQ(1, FakeDev_LoadText(tree));
        RefreshDevices(window);
        EXPECT_EQ(0, FakeDev_OpenSets()) << "device set not released";
    }
};

#endif
