// Owned text, and the application record that owns everything else.
#include <cstring>

#include "app/appstate.h"
#include "settings/cstr.h"
#include "settings/storetext.h"
#include "tests/unit/desk.h"
#include "tray/trayicon.h"

namespace {

TEST(Cstr, NothingToAppendKeepsTheEmptyStateWithoutABuffer)
{
    CSTR s;
    EXPECT_EQ(nullptr, s.Append(nullptr));
    EXPECT_EQ(nullptr, s.Append(""));
    // The hide list reads a missing buffer as an unused entry; an empty
    // buffer would be a prefix of every name.
    EXPECT_EQ(nullptr, s.buffer);
    EXPECT_EQ(0u, s.bufferSize);
}

TEST(Cstr, AppendsGrowTheText)
{
    CSTR s;
    EXPECT_STREQ("ab", s.Append("ab"));
    EXPECT_EQ(3u, s.bufferSize);
    EXPECT_STREQ("abcd", s.Append("cd"));
    EXPECT_STREQ("abcd", s.Append(""));
    EXPECT_STREQ("abcdxyz", s.Append("xyz"));
    EXPECT_GE(s.bufferSize, 8u);

    std::string expected = "abcdxyz";
    for (int k = 0; k < 300; ++k) {
        s.Append("0123456789");
        expected += "0123456789";
    }
    EXPECT_EQ(expected, s.buffer);
    EXPECT_GE(s.bufferSize, expected.size() + 1);
}

TEST(Cstr, TheTextIsCopiedNotBorrowedEvenFromItself)
{
    CSTR s;
    char source[] = "Pocket";
    s.Append(source);
    EXPECT_NE(source, s.buffer);
    source[0] = 'X';
    EXPECT_STREQ("Pocket", s.buffer);
    s.Append(s.buffer + 3);  // read before the old buffer goes
    EXPECT_STREQ("Pocketket", s.buffer);
}

TEST(Cstr, ClearEmptiesAndTheTextCanStartAgain)
{
    CSTR s;
    s.Append("old");
    s.Clear();
    EXPECT_EQ(nullptr, s.buffer);
    EXPECT_EQ(0u, s.bufferSize);
    s.Clear();
    EXPECT_STREQ("new", s.Append("new"));
    EXPECT_EQ(4u, s.bufferSize) << "the size of the cleared text was kept";
}

// A stored text into a field of 4 bytes: up to its first zero, cut to 3
// bytes, terminated, the rest of the field cleared and nothing past it.
TEST(StoredText, IsCutToItsFieldAndTerminated)
{
    // clang-format off
    const std::string rows[][2] = {{"ab", "ab"}, {"abc", "abc"}, {"abcd", "abc"}, {"abcde", "abc"},
                                   {std::string("a\0cd", 4), "a"}, {"", ""}};
    // clang-format on
    for (const auto& row : rows) {
        char field[] = "ZZZZZZZ";
        CopyStoredText(field, 4, row[0].data(), row[0].size());
        EXPECT_EQ(row[1] + std::string(4 - row[1].size(), '\0') + "ZZZ", std::string(field, 7))
            << row[0];
    }
}

struct AppState : DeskTest {};

TEST_F(AppState, CreationLoadsTheMenuBitmapsAndDestructionFreesThem)
{
    ASSERT_NE(nullptr, g_app);
    for (int k = 0; k < 4; ++k)
        EXPECT_NE(nullptr, g_app->commandBitmaps[k].hbitmap) << "command " << k;
    EXPECT_NE(nullptr, LookupClassBitmap(g_app->devices, "{4D36E967-E325-11CE-BFC1-08002BE10318}"));
    EXPECT_GT(g_fake.liveBitmaps, 0);
    EXPECT_EQ(0, g_fake.liveIcons);

    DestroyAppState();
    EXPECT_EQ(nullptr, g_app);
    EXPECT_EQ(0, g_fake.liveBitmaps);
    DestroyAppState();  // nothing left to destroy
}

TEST_F(AppState, AFreshStateHidesProblemDevicesOnly)
{
    Load(Node(1, 0, 0x6000, 0, kWpd, "Player") + Node(2, 0, 0x6400, 10, kDisk, "Broken") +
         Node(3, 0, 0x6000, 0, kDisk, "Disk"));
    EXPECT_EQ(2u, g_app->devices.count);
    EXPECT_EQ(2u, CountVisibleDevices());

    // And the icon shows without waiting for a device.
    ASSERT_EQ(1, g_app->tray.Create(g_app->hInstance, 0));
    Load("");
    UpdateTrayIcon();
    ASSERT_EQ(1u, g_fake.notify.size());
    EXPECT_EQ((DWORD)NIM_ADD, g_fake.notify[0].message);
}

TEST_F(AppState, FlagsFollowTheSetupCheckBoxOrder)
{
    for (int k = 0; k < SETTING_FLAGS; ++k)
        *g_app->Flag(k) = 100 + k;
    const DWORD* fields[] = {&g_app->Separator, &g_app->ChildOnly, &g_app->HideInvalid,
                             &g_app->HideWPD, &g_app->AutoShow};
    for (int k = 0; k < SETTING_FLAGS; ++k)
        EXPECT_EQ(100u + k, *fields[k]) << "check box " << k;
    // A stray check-box id reaches no field.
    EXPECT_EQ(nullptr, g_app->Flag(-1));
    EXPECT_EQ(nullptr, g_app->Flag(SETTING_FLAGS));
}

TEST_F(AppState, DefaultsSetTheFlagsAndFillOnlyEmptyTexts)
{
    const struct {
        DEFAULTSTEP step;
        const char *form, *space, *wantForm, *wantSpace;
        DWORD wantFlags[SETTING_FLAGS];  // from 7 each
    } rows[] = {
        {DEFAULT_FLAGS, "[%s]", "..", "", "", {1, 0, 1, 0, 0}},
        {DEFAULT_TEXTS, "", "", "%s+ %s", " ", {7, 7, 7, 7, 7}},
        {DEFAULT_TEXTS, "[%s]", "", "[%s]", " ", {7, 7, 7, 7, 7}},
        {DEFAULT_TEXTS, "", "..", "%s+ %s", "..", {7, 7, 7, 7, 7}},
    };
    for (const auto& r : rows) {
        APPSTATE& app = *g_app;
        for (int k = 0; k < SETTING_FLAGS; ++k)
            *app.Flag(k) = 7;
        strcpy(app.ChildForm, r.form);
        strcpy(app.ChildSpace, r.space);
        ApplyDefaultSettings(app, r.step);
        EXPECT_STREQ(r.wantForm, app.ChildForm) << "row " << r.form << "|" << r.space;
        EXPECT_STREQ(r.wantSpace, app.ChildSpace) << "row " << r.form << "|" << r.space;
        for (int k = 0; k < SETTING_FLAGS; ++k)
            EXPECT_EQ(r.wantFlags[k], *app.Flag(k)) << "flag " << k << " row " << r.form;
    }
}

TEST_F(AppState, EverythingReleasedEarlyStaysReleased)
{
    APPSTATE& app = *g_app;
    ASSERT_EQ(1, app.mutex.Create());
    ASSERT_EQ(1, app.tray.Create(app.hInstance, (HWND)0x77));
    app.hideList[0].Append("Disk");
    LoadTrayIcon();
    UpdateTrayIcon();
    ASSERT_EQ(1, g_fake.liveIcons);

    // What the window's destruction does, done twice over.
    for (int round = 0; round < 2; ++round) {
        app.tray.Delete();
        app.tray.Destroy();
        app.devices.Free();
        app.mutex.Release();
        app.hideList[0].Clear();
        app.commandBitmaps[0].Release();
    }
    EXPECT_EQ(0, g_fake.liveIcons);
    EXPECT_EQ(0, g_fake.openHandles);
    EXPECT_TRUE(g_fake.mutexes.empty());

    DestroyAppState();
    EXPECT_EQ(0, g_fake.liveBitmaps);
    EXPECT_EQ(0, g_fake.liveIcons);
}

}  // namespace
