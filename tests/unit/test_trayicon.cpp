// The notification-area icon: when it is added, changed and removed, and
// where its picture comes from.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "devices/visibility.h"
#include "tests/unit/desk.h"
#include "tray/trayicon.h"

namespace {

const char* kIconBesideExe = "C:\\Program Files\\VANTREL\\VANTRL.ICO";
const HWND kWindow = (HWND)0x77;

typedef std::vector<DWORD> Messages;

struct Tray : AppTest {
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_EQ(1, g_app->devices.Create());
        ASSERT_EQ(1, g_app->tray.Create(g_app->hInstance, kWindow));
        g_fake.loads.clear();  // the menu bitmaps loaded with the state
    }

    // Plugs in exactly n working devices and rescans.
    void Devices(int n)
    {
        std::string tree;
        for (int k = 1; k <= n; ++k)
            tree += std::to_string(k) + "|0|0x6000|0|" + kDisk + "|Disk " + std::to_string(k) + "|-\n";
        ASSERT_EQ(1, FakeDev_LoadText(tree));
        RefreshDevices(kWindow);
    }
    static Messages Sent()
    {
        Messages m;
        for (const NotifyCall& call : g_fake.notify)
            m.push_back(call.message);
        return m;
    }
    static HICON SlotIcon() { return g_app->tray.slots[0].icon; }
};

TEST_F(Tray, WithoutAutoShowTheIconIsAddedOnceThenModified)
{
    g_app->AutoShow = 0;
    Devices(0);
    LoadTrayIcon();
    ASSERT_NE(nullptr, SlotIcon());
    UpdateTrayIcon();
    UpdateTrayIcon();
    Devices(1);
    UpdateTrayIcon();
    EXPECT_EQ((Messages{NIM_ADD, NIM_MODIFY, NIM_MODIFY}), Sent());
    for (const NotifyCall& call : g_fake.notify) {
        EXPECT_EQ(g_app->tray.nid.uID, call.id);
        EXPECT_EQ(SlotIcon(), call.icon);
        EXPECT_EQ(NID_SIZE, call.cbSize);
    }
    EXPECT_EQ(1, g_app->iconShown);
}

TEST_F(Tray, AutoShowFollowsTheDevicesPresent)
{
    g_app->AutoShow = 1;
    LoadTrayIcon();

    // A removal request goes out even before anything was added: the shell
    // simply refuses it, and the icon state stays simple.
    Devices(0);
    UpdateTrayIcon();
    EXPECT_EQ((Messages{NIM_DELETE}), Sent());
    EXPECT_EQ(nullptr, g_fake.notify.back().icon);
    EXPECT_EQ(0, g_app->iconShown);

    Devices(1);
    UpdateTrayIcon();
    UpdateTrayIcon();
    EXPECT_EQ((Messages{NIM_DELETE, NIM_ADD, NIM_MODIFY}), Sent());
    EXPECT_EQ(SlotIcon(), g_fake.notify[1].icon);
    EXPECT_EQ(1, g_app->iconShown);

    Devices(0);
    UpdateTrayIcon();
    EXPECT_EQ((Messages{NIM_DELETE, NIM_ADD, NIM_MODIFY, NIM_DELETE}), Sent());
    EXPECT_EQ(0, g_app->iconShown);

    // Back again: the icon is gone from the taskbar, so it must be added anew.
    Devices(2);
    UpdateTrayIcon();
    EXPECT_EQ((Messages{NIM_DELETE, NIM_ADD, NIM_MODIFY, NIM_DELETE, NIM_ADD}), Sent());
    EXPECT_EQ(SlotIcon(), g_fake.notify.back().icon);
}

TEST_F(Tray, AnIconTheShellRefusedIsAddedAgainAtTheNextUpdate)
{
    g_fake.refusedAdds = 1;  // a notification area not up yet, as at logon
    LoadTrayIcon();
    UpdateTrayIcon();
    EXPECT_EQ(0, g_app->iconShown);
    UpdateTrayIcon();
    UpdateTrayIcon();
    EXPECT_EQ((Messages{NIM_ADD, NIM_ADD, NIM_MODIFY}), Sent());
    EXPECT_EQ(1, g_app->iconShown);
}

TEST_F(Tray, AutoShowCountsOnlyDevicesTheMenuWouldOffer)
{
    g_app->AutoShow = 1;
    g_app->hideList[0].Append("Disk");
    LoadTrayIcon();
    Devices(2);
    UpdateTrayIcon();
    EXPECT_EQ((Messages{NIM_DELETE}), Sent());
    EXPECT_EQ(0, g_app->iconShown);
}

TEST_F(Tray, SwitchingAutoShowOffBringsTheIconBack)
{
    g_app->AutoShow = 1;
    LoadTrayIcon();
    Devices(0);
    UpdateTrayIcon();
    g_app->AutoShow = 0;
    UpdateTrayIcon();
    EXPECT_EQ((Messages{NIM_DELETE, NIM_ADD}), Sent());
    EXPECT_EQ(1, g_app->iconShown);
}

TEST_F(Tray, ANewTaskbarGetsTheIconBack)
{
    TaskTrayIcon& tray = g_app->tray;
    const UINT created = RegisterWindowMessageA("TaskbarCreated");
    g_app->AutoShow = 1;
    LoadTrayIcon();

    Devices(1);
    UpdateTrayIcon();
    EXPECT_EQ(0, tray.OnTaskbarCreated(created + 1)) << "any other message is ignored";
    EXPECT_EQ(1u, g_fake.notify.size());
    EXPECT_NE(0, tray.OnTaskbarCreated(created));
    EXPECT_EQ((Messages{NIM_ADD, NIM_ADD}), Sent());
    EXPECT_EQ(SlotIcon(), g_fake.notify.back().icon);
    EXPECT_EQ(tray.nid.uID, g_fake.notify.back().id);
    EXPECT_EQ(1, g_app->iconShown);

    // Hidden by auto-show, the icon comes back with the taskbar all the same
    // and the next update removes it again.
    Devices(0);
    UpdateTrayIcon();
    g_fake.notify.clear();
    EXPECT_NE(0, tray.OnTaskbarCreated(created));
    EXPECT_EQ(0, g_app->iconShown);
    UpdateTrayIcon();
    EXPECT_EQ((Messages{NIM_ADD, NIM_DELETE}), Sent());
}

TEST_F(Tray, ANewTaskbarBeforeCreationSendsNothing)
{
    APPSTATE* app = g_app;
    app->tray.Destroy();
    g_fake.notify.clear();
    EXPECT_EQ(0, app->tray.OnTaskbarCreated(RegisterWindowMessageA("TaskbarCreated")));
    EXPECT_TRUE(Sent().empty());
}

TEST_F(Tray, AnIconFileBesideTheProgramIsPreferred)
{
    g_fake.files.insert(kIconBesideExe);
    LoadTrayIcon();
    EXPECT_EQ((std::vector<std::string>{std::string("file:") + kIconBesideExe}), g_fake.loads);
    ASSERT_NE(nullptr, SlotIcon());
    UpdateTrayIcon();
    ASSERT_EQ(1u, g_fake.notify.size());
    EXPECT_EQ(SlotIcon(), g_fake.notify[0].icon);
}

TEST_F(Tray, AFileThatIsNoIconGivesWayToTheBuiltInIcon)
{
    g_fake.files.insert(kIconBesideExe);
    g_fake.badIconFiles.insert(kIconBesideExe);
    LoadTrayIcon();
    EXPECT_EQ((std::vector<std::string>{std::string("file:") + kIconBesideExe, "res:201:16x16"}),
              g_fake.loads);
    EXPECT_NE(nullptr, SlotIcon());
}

TEST_F(Tray, WithoutTheFileTheBuiltInIconIsLoadedAtSmallIconSize)
{
    g_fake.smallIcon = 20;
    LoadTrayIcon();
    EXPECT_EQ((std::vector<std::string>{"res:201:20x20"}), g_fake.loads);
    EXPECT_NE(nullptr, SlotIcon());
}

TEST_F(Tray, ADirectoryTooLongForTheIconPathFallsBackToTheBuiltInIcon)
{
    // 250 characters of directory leave no room for the file name.
    const std::string dir = "C:\\" + std::string(246, 'd') + "\\";
    ASSERT_EQ(250u, dir.size());
    g_fake.moduleFileName = dir + "v.exe";
    g_fake.files.insert(dir + "VANTRL.ICO");  // would be found if looked for
    LoadTrayIcon();
    EXPECT_EQ((std::vector<std::string>{"res:201:16x16"}), g_fake.loads);
}

TEST_F(Tray, LoadingAgainDoesNotLeakIcons)
{
    g_fake.files.insert(kIconBesideExe);
    LoadTrayIcon();
    LoadTrayIcon();
    EXPECT_EQ(1, g_fake.liveIcons);

    g_fake.files.clear();
    LoadTrayIcon();
    LoadTrayIcon();
    EXPECT_EQ(1, g_fake.liveIcons);

    g_app->tray.Destroy();
    EXPECT_EQ(0, g_fake.liveIcons);
    EXPECT_EQ(nullptr, g_app->tray.slots);
    g_app->tray.Destroy();  // a second release finds nothing to release
    LoadTrayIcon();         // nor does loading into a destroyed icon crash
    EXPECT_EQ(0, g_fake.liveIcons);
}

TEST_F(Tray, CreateIsRefusedTwiceAndTheTipNamesTheProgram)
{
    ICONSLOT* slots = g_app->tray.slots;
    EXPECT_EQ(0, g_app->tray.Create(g_app->hInstance, kWindow));
    EXPECT_EQ(slots, g_app->tray.slots);

    g_app->tray.SetTip();
    EXPECT_STREQ("VANTREL", g_app->tray.nid.szTip);
    LoadTrayIcon();
    UpdateTrayIcon();
    ASSERT_EQ(1u, g_fake.notify.size());
    EXPECT_EQ((UINT)(NIF_ICON | NIF_TIP), g_fake.notify[0].flags & (NIF_ICON | NIF_TIP));
}

TEST(IconFilePath, TheFileNameReplacesTheProgramName)
{
    FakeWin_Reset();
    char buffer[ICON_PATH_SIZE];
    ASSERT_EQ(buffer, GetIconFilePath(buffer));
    EXPECT_STREQ(kIconBesideExe, buffer);
}

TEST(IconFilePath, LengthLimits)
{
    FakeWin_Reset();
    char buffer[ICON_PATH_SIZE + 1];

    // 249 characters of directory: the icon path is 259 long and fits.
    const std::string dir = "C:\\" + std::string(245, 'd') + "\\";
    ASSERT_EQ(249u, dir.size());
    g_fake.moduleFileName = dir + "v.exe";
    memset(buffer, 'x', sizeof buffer);
    ASSERT_EQ(buffer, GetIconFilePath(buffer));
    EXPECT_EQ(dir + "VANTRL.ICO", buffer);
    EXPECT_EQ('x', buffer[ICON_PATH_SIZE]);

    g_fake.moduleFileName = "C:\\" + std::string(246, 'd') + "\\v.exe";  // one more
    EXPECT_EQ(nullptr, GetIconFilePath(buffer));

    // A program path of 259 characters is whole; one of 260 was cut.
    const std::string shortDir = "C:\\p\\";
    g_fake.moduleFileName = shortDir + std::string(259 - shortDir.size(), 'n');
    ASSERT_EQ(buffer, GetIconFilePath(buffer));
    EXPECT_EQ(shortDir + "VANTRL.ICO", buffer);
    g_fake.moduleFileName = shortDir + std::string(260 - shortDir.size(), 'n');
    EXPECT_EQ(nullptr, GetIconFilePath(buffer));

    g_fake.moduleFileName = "vantrel.exe";  // no directory at all
    EXPECT_EQ(nullptr, GetIconFilePath(buffer));
}

TEST(IconId, ComesFromTheCounterElseTheTickCount)
{
    FakeWin_Reset();
    LARGE_INTEGER counter;
    ASSERT_TRUE(QueryPerformanceCounter(&counter));
    EXPECT_EQ((UINT)(counter.QuadPart & 0xFFFFFFFFu), MakeIconId());
    // The pause keeps a second instance started at once from the same id.
    EXPECT_GT(g_fake.sleptMs, 0u);

    g_fake.performanceCounter = false;
    g_fake.sleptMs = 0;
    EXPECT_EQ((UINT)GetTickCount(), MakeIconId());
    EXPECT_GT(g_fake.sleptMs, 0u);
}

}  // namespace
