// The notification-area icon: when it is added, changed and removed, and
// where its picture comes from.
#include <cstring>
#include <vector>

#include "tests/unit/desk.h"
#include "tray/trayicon.h"

namespace {

const char* kIconBesideExe = "C:\\Program Files\\VANTREL\\VANTRL.ICO";
const HWND kWindow = (HWND)0x77;

typedef std::vector<DWORD> Messages;

struct Tray : DeskTest {
    void SetUp() override
    {
        DeskTest::SetUp();
        ASSERT_EQ(1, g_app->tray.Create(g_app->hInstance, kWindow));
        g_fake.loads.clear();  // the menu bitmaps loaded with the state
    }

    // Plugs in exactly n working devices, rescans and updates the icon.
    void Update(int n)
    {
        std::string tree;
        for (int k = 1; k <= n; ++k)
            tree += Node(k, 0, 0x6000, 0, kDisk, "Disk " + std::to_string(k));
        Load(tree, kWindow);
        UpdateTrayIcon();
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

// One update after each step: what it asks of the shell, and whether the
// icon is shown after it.
struct Step {
    int autoShow, devices;
    DWORD sent;
    int shown;
};
const struct {
    const char* what;
    unsigned refusedAdds;  // a notification area not up yet, as at logon
    const char* hidden;
    std::vector<Step> steps;
} kUpdates[] = {
    // clang-format off
    {"without auto-show: added once, then modified", 0, 0,
     {{0, 0, NIM_ADD, 1}, {0, 0, NIM_MODIFY, 1}, {0, 1, NIM_MODIFY, 1}}},
    // A removal request goes out even before anything was added: the shell
    // simply refuses it. An icon removed is gone from the taskbar, so it is
    // added anew when devices come back.
    {"auto-show follows the devices present", 0, 0,
     {{1, 0, NIM_DELETE, 0}, {1, 1, NIM_ADD, 1}, {1, 1, NIM_MODIFY, 1}, {1, 0, NIM_DELETE, 0},
      {1, 2, NIM_ADD, 1}}},
    {"an icon the shell refused is added again at the next update", 1, 0,
     {{0, 0, NIM_ADD, 0}, {0, 0, NIM_ADD, 1}, {0, 0, NIM_MODIFY, 1}}},
    {"auto-show counts only devices the menu would offer", 0, "Disk", {{1, 2, NIM_DELETE, 0}}},
    {"switching auto-show off brings the icon back", 0, 0, {{1, 0, NIM_DELETE, 0}, {0, 0, NIM_ADD, 1}}},
    // clang-format on
};

TEST_F(Tray, UpdatesAddModifyOrRemoveTheIcon)
{
    for (const auto& c : kUpdates) {
        SCOPED_TRACE(c.what);
        Fresh();
        g_fake.refusedAdds = c.refusedAdds;
        if (c.hidden)
            g_app->hideList[0].Append(c.hidden);
        LoadTrayIcon();
        ASSERT_NE(nullptr, SlotIcon());
        Messages want;
        for (const Step& step : c.steps) {
            g_app->AutoShow = step.autoShow;
            Update(step.devices);
            want.push_back(step.sent);
            EXPECT_EQ(want, Sent()) << "after step " << want.size();
            EXPECT_EQ(step.shown, g_app->iconShown) << "after step " << want.size();
        }
        for (const NotifyCall& call : g_fake.notify) {
            EXPECT_EQ(g_app->tray.nid.uID, call.id);
            EXPECT_EQ(call.message == NIM_DELETE ? nullptr : SlotIcon(), call.icon);
            EXPECT_EQ(NID_SIZE, call.cbSize);
        }
    }
}

TEST_F(Tray, ANewTaskbarGetsTheIconBack)
{
    TaskTrayIcon& tray = g_app->tray;
    const UINT created = RegisterWindowMessageA("TaskbarCreated");
    g_app->AutoShow = 1;
    LoadTrayIcon();

    Update(1);
    EXPECT_EQ(0, tray.OnTaskbarCreated(created + 1)) << "any other message is ignored";
    EXPECT_EQ(1u, g_fake.notify.size());
    EXPECT_NE(0, tray.OnTaskbarCreated(created));
    EXPECT_EQ((Messages{NIM_ADD, NIM_ADD}), Sent());
    EXPECT_EQ(SlotIcon(), g_fake.notify.back().icon);
    EXPECT_EQ(tray.nid.uID, g_fake.notify.back().id);
    EXPECT_EQ(1, g_app->iconShown);

    // Hidden by auto-show, the icon comes back with the taskbar all the same
    // and the next update removes it again.
    Update(0);
    g_fake.notify.clear();
    EXPECT_NE(0, tray.OnTaskbarCreated(created));
    EXPECT_EQ(0, g_app->iconShown);
    UpdateTrayIcon();
    EXPECT_EQ((Messages{NIM_ADD, NIM_DELETE}), Sent());

    // Without an icon created (here, destroyed) a new taskbar gets nothing.
    tray.Destroy();
    g_fake.notify.clear();
    EXPECT_EQ(0, tray.OnTaskbarCreated(created));
    EXPECT_TRUE(Sent().empty());
}

// 250 characters of directory leave no room for the file name.
const std::string kLongDir = "C:\\" + std::string(246, 'd') + "\\";
const std::string kFileLoad = std::string("file:") + kIconBesideExe;

// The file beside the program is preferred to the built-in icon, which is
// loaded at the small-icon size.
const struct {
    const char* what;
    std::string dir;  // of the program; "" for the usual one
    bool file, fileIsIcon;
    int smallIcon;
    std::vector<std::string> loads;
} kIconSources[] = {
    {"a file beside the program", "", true, true, 16, {kFileLoad}},
    {"a file that is no icon", "", true, false, 16, {kFileLoad, "res:201:16x16"}},
    {"no file", "", false, true, 20, {"res:201:20x20"}},
    {"a directory too long for the icon path", kLongDir, true, true, 16, {"res:201:16x16"}},
};

TEST_F(Tray, TheIconComesFromTheFileBesideTheProgramElseTheBuiltInOne)
{
    ASSERT_EQ(250u, kLongDir.size());
    for (const auto& c : kIconSources) {
        SCOPED_TRACE(c.what);
        Fresh();
        if (!c.dir.empty())
            g_fake.moduleFileName = c.dir + "v.exe";
        const std::string file = c.dir.empty() ? kIconBesideExe : c.dir + "VANTRL.ICO";
        if (c.file)
            g_fake.files.insert(file);  // in the long directory, found if looked for
        if (!c.fileIsIcon)
            g_fake.badIconFiles.insert(file);
        g_fake.smallIcon = c.smallIcon;
        LoadTrayIcon();
        EXPECT_EQ(c.loads, g_fake.loads);
        ASSERT_NE(nullptr, SlotIcon());
        UpdateTrayIcon();
        ASSERT_EQ(1u, g_fake.notify.size());
        EXPECT_EQ(SlotIcon(), g_fake.notify[0].icon);
    }
}

TEST_F(Tray, LoadingAgainDoesNotLeakIcons)
{
    g_fake.files.insert(kIconBesideExe);
    for (const char* source : {"the file", "the built-in icon"}) {
        LoadTrayIcon();
        LoadTrayIcon();
        EXPECT_EQ(1, g_fake.liveIcons) << "loaded twice from " << source;
        g_fake.files.clear();
    }

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

TEST(IconFilePath, TheFileNameReplacesTheProgramNameWithinTheLengthLimits)
{
    // 249 characters of directory: the icon path is 259 long and fits. A
    // program path of 259 characters is whole; one of 260 was cut.
    const std::string dir = "C:\\" + std::string(245, 'd') + "\\", shortDir = "C:\\p\\";
    ASSERT_EQ(249u, dir.size());
    const struct {
        std::string program, icon;  // "": none
    } rows[] = {
        {"C:\\Program Files\\VANTREL\\vantrel.exe", kIconBesideExe},
        {dir + "v.exe", dir + "VANTRL.ICO"},
        {kLongDir + "v.exe", ""},
        {shortDir + std::string(259 - shortDir.size(), 'n'), "C:\\p\\VANTRL.ICO"},
        {shortDir + std::string(260 - shortDir.size(), 'n'), ""},
        {"vantrel.exe", ""},  // no directory at all
    };
    for (const auto& row : rows) {
        const char* want = row.icon.empty() ? nullptr : row.icon.c_str();
        SCOPED_TRACE(row.program);
        FakeWin_Reset();
        g_fake.moduleFileName = row.program;
        char buffer[ICON_PATH_SIZE + 1];
        memset(buffer, 'x', sizeof buffer);
        ASSERT_EQ(want ? buffer : nullptr, GetIconFilePath(buffer));
        if (want) {
            EXPECT_STREQ(want, buffer);
        }
        EXPECT_EQ('x', buffer[ICON_PATH_SIZE]);
    }
}

TEST(IconId, ComesFromTheCounterElseTheTickCount)
{
    FakeWin_Reset();
    LARGE_INTEGER counter;
    ASSERT_TRUE(QueryPerformanceCounter(&counter));
    for (UINT want : {(UINT)(counter.QuadPart & 0xFFFFFFFFu), (UINT)GetTickCount()}) {
        g_fake.sleptMs = 0;
        EXPECT_EQ(want, MakeIconId());
        // The pause keeps a second instance started at once from the same id.
        EXPECT_GT(g_fake.sleptMs, 0u);
        g_fake.performanceCounter = false;  // for the next row
    }
}

}  // namespace
