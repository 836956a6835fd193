// The main window class and the hidden window, against Wine's user32.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/appstate.h"
#include "app/ids.h"
#include "app/mainwnd.h"
#include "settings/store.h"

namespace {

TEST(MainClass, RegisteringTwiceStillSucceeds)
{
    HINSTANCE instance = GetModuleHandleA(0);
    HCURSOR arrow = LoadCursorA(0, IDC_ARROW);
    ASSERT_EQ(1, RegisterMainClass(instance, arrow));
    // A class left behind by an earlier run in this process is no failure.
    EXPECT_EQ(1, RegisterMainClass(instance, arrow));
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(instance, APP_NAME, &wc));
    EXPECT_EQ(MainWndProc, wc.lpfnWndProc);
    EXPECT_EQ(arrow, wc.hCursor);
    EXPECT_TRUE(UnregisterClassA(APP_NAME, instance));
    EXPECT_FALSE(GetClassInfoA(instance, APP_NAME, &wc));
}

// A stored hide entry, or "(none)"; and whether AutoShow is stored at all.
std::string StoredEntry(const char* name)
{
    char data[64] = "";
    DWORD size = sizeof data;
    LONG r = RegGetValueA(HKEY_CURRENT_USER, HIDELIST_KEY, name, RRF_RT_REG_SZ, 0, data, &size);
    return r == ERROR_SUCCESS ? data : "(none)";
}
bool HasAutoShow()
{
    return RegGetValueA(HKEY_CURRENT_USER, SETTINGS_KEY, "AutoShow", RRF_RT_ANY, 0, 0, 0) ==
           ERROR_SUCCESS;
}

class ShowIcon : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\HALCYRA");
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetKeyValueA(HKEY_CURRENT_USER, HIDELIST_KEY, "00", REG_SZ, "Keep me", 7));
        ASSERT_EQ(1, CreateAppState(GetModuleHandleA(0)));
    }
    void TearDown() override
    {
        DestroyAppState();
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\HALCYRA");
    }
};

TEST_F(ShowIcon, BeforeStartUpFinishedTheStoredSettingsStayAsTheyAre)
{
    // The window of a start that failed (lock held elsewhere) never loaded
    // the settings; a hand-over reaching it must not store its blanks.
    OnCommand(ID_SHOWICON, 0);
    EXPECT_EQ("Keep me", StoredEntry("00"));
    EXPECT_FALSE(HasAutoShow());
}

TEST_F(ShowIcon, OnARunningInstanceTurnsAutoShowOffAndStoresEverything)
{
    LoadSettings();
    g_app->AutoShow = 1;
    ASSERT_EQ(1, g_app->tray.Create(g_app->hInstance, 0));
    OnCommand(ID_SHOWICON, 0);
    EXPECT_EQ(0u, g_app->AutoShow);
    EXPECT_TRUE(HasAutoShow());
    EXPECT_EQ("Keep me", StoredEntry("00"));
    EXPECT_EQ(1, g_app->iconShown);
}

}  // namespace
