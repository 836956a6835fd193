// The Setup dialog's model: centring, the 32 lines and what OK stores, and
// the names the editor offers.
#include <cstring>
#include <new>
#include <vector>

#include "settings/center.h"
#include "settings/setupdlg.h"
#include "tests/unit/desk.h"

// Allocation that fails on demand: the nth nothrow array allocation from
// now on returns null. Everything else goes to the usual allocator, so the
// sanitizer still pairs each new[] with its delete[].
static int g_failAllocation;  // 0: never
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    if (g_failAllocation && --g_failAllocation == 0)
        return nullptr;
    return ::operator new[](size);
}

namespace {

// A rectangle, then the screen's size (ScreenCentre) or the window's
// (ParentCentre); what comes out.
struct Centre {
    PLACEMENT (*centre)(int, int, int, int, int, int);
    int l, t, r, b, w, h;
    int x, y, width, height;
};

TEST(Centring, OnTheScreenHalvesTheRoomLeftOverTheParentEachSizeOnItsOwn)
{
    const Centre rows[] = {
        {ScreenCentre, 0, 0, 300, 200, 800, 600, 250, 200, 300, 200},
        {ScreenCentre, 10, 10, 311, 201, 800, 600, 249, 204, 301, 191},      // odd sizes round down
        {ScreenCentre, -50, -40, 951, 660, 800, 600, -100, -50, 1001, 700},  // larger: toward zero
        {ScreenCentre, 0, 0, 300, 701, 800, 600, 250, -50, 300, 701},  // taller by an odd amount
        {ParentCentre, 0, 0, 300, 200, 101, 51, 100, 75, 101, 51},     // not (300-101)/2 = 99
        {ParentCentre, -300, -101, -1, 100, 101, 51, -201, -26, 101, 51},  // off the left and top
        {ParentCentre, -301, -200, 0, 0, 7, 9, -154, -104, 7, 9},
        {ParentCentre, 100, 100, 200, 150, 301, 201, 0, 25, 301, 201},  // larger than its parent
    };
    for (const Centre& c : rows) {
        SCOPED_TRACE(::testing::Message()
                     << (c.centre == ScreenCentre ? "screen " : "parent ") << c.l << "," << c.t
                     << "," << c.r << "," << c.b << " " << c.w << "x" << c.h);
        PLACEMENT p = c.centre(c.l, c.t, c.r, c.b, c.w, c.h);
        EXPECT_EQ((std::vector<int>{c.x, c.y, c.width, c.height}),
                  (std::vector<int>{p.x, p.y, p.width, p.height}))
            << "x, y, width, height";
    }
}

struct SetupModel : DeskTest {
    void SetUp() override { g_failAllocation = 0, DeskTest::SetUp(); }
    void TearDown() override { g_failAllocation = 0, DeskTest::TearDown(); }
    std::string Entry(int i)
    {
        return g_app->hideList[i].buffer ? g_app->hideList[i].buffer : "(empty)";
    }
};

TEST_F(SetupModel, TheViewShowsTheSettingsAndOkStoresItBackAsOneOrZero)
{
    APPSTATE& app = *g_app;
    const DWORD flags[SETTING_FLAGS] = {0, 7, 1, 0, 1};  // any nonzero value is on
    for (int k = 0; k < SETTING_FLAGS; ++k)
        *app.Flag(k) = flags[k];
    app.hideList[2].Append("Old");
    app.hideList[5].Append("Gone");
    app.hideList[31].Append(std::string(255, 'L').c_str());
    SETUPVIEW view;
    memset(&view, 'x', sizeof view);
    LoadSetupView(view);
    const UINT shown[SETTING_FLAGS] = {0, 1, 1, 0, 1};
    EXPECT_EQ(0, memcmp(shown, view.checked, sizeof shown));
    EXPECT_STREQ("Old", view.lines[2]);
    EXPECT_EQ(std::string(255, 'L'), view.lines[31]);
    EXPECT_STREQ("", view.lines[0]);

    const UINT boxes[SETTING_FLAGS] = {1, 0, 9, 0, 1};
    memcpy(view.checked, boxes, sizeof boxes);
    strcpy(view.lines[2], "New");
    view.lines[5][0] = 0;  // REMOVE in the editor
    strcpy(view.lines[30], "Last but one");
    EXPECT_EQ(0, ApplySetupView(view));
    const DWORD stored[SETTING_FLAGS] = {1, 0, 1, 0, 1};
    for (int k = 0; k < SETTING_FLAGS; ++k)
        EXPECT_EQ(stored[k], *app.Flag(k)) << "flag " << k;
    EXPECT_EQ("New", Entry(2));
    EXPECT_EQ(4u, app.hideList[2].bufferSize);
    EXPECT_EQ("(empty)", Entry(5));
    EXPECT_EQ("Last but one", Entry(30));
    EXPECT_EQ(std::string(255, 'L'), Entry(31));
    EXPECT_EQ("(empty)", Entry(0));
    EXPECT_EQ(std::string(255, 'L'), app.editText) << "editText keeps the last line read back";
}

TEST_F(SetupModel, WithoutMemoryForOneLineItsEntryKeepsItsTextAndTheRestIsStored)
{
    APPSTATE& app = *g_app;
    for (int i = 0; i < 4; ++i)
        app.hideList[i].Append(("Was " + std::to_string(i)).c_str());
    SETUPVIEW view;
    LoadSetupView(view);
    for (int i = 0; i < 4; ++i)
        snprintf(view.lines[i], EDITTEXT_SIZE, "Now %d", i);
    view.checked[4] = 1;
    g_failAllocation = 3;  // the third line's new text
    EXPECT_EQ(1, ApplySetupView(view));
    EXPECT_EQ((std::vector<std::string>{"Now 0", "Now 1", "Was 2", "Now 3"}),
              (std::vector<std::string>{Entry(0), Entry(1), Entry(2), Entry(3)}));
    EXPECT_EQ(1u, app.AutoShow);

    // Append alone, failing, keeps the text it had as well.
    g_failAllocation = 1;
    EXPECT_STREQ("Now 3", app.hideList[3].Append("more"));
    EXPECT_EQ(6u, app.hideList[3].bufferSize);
}

void Collect(const char* name, void* names) { ((std::vector<std::string>*)names)->push_back(name); }

TEST_F(SetupModel, TheEditorOffersEveryScannedNameHiddenOrNot)
{
    std::vector<std::string> names;
    g_app->devices.Free();
    ForEachScannedName(Collect, &names);
    EXPECT_TRUE(names.empty()) << "no table";

    ASSERT_EQ(1, g_app->devices.Create());
    g_app->hideList[0].Append("Player");
    Load(Node(1, 0, 0x6000, 0, kUsb, "Hub Stick") + Node(2, 1, 0, 0, kDisk, "Disk A") +
         Node(3, 2, 0, 0, kVolume, "Volume") + Node(4, 3, 0, 0, kVolume, "Disk A") +
         Node(5, 0, 0x6000, 0, kWpd, "Player"));
    ASSERT_EQ(1u, CountVisibleDevices());
    ForEachScannedName(Collect, &names);
    const std::vector<std::string> expected = {"Hub Stick", "Disk A", "Volume", "Disk A", "Player"};
    EXPECT_EQ(expected, names);
}

}  // namespace
