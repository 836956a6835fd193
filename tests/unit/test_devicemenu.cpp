// The device menu's entry list, its chain-line formatter, and what a device
// command means after the table moved under an open menu.
#include <algorithm>
#include <cstring>
#include <vector>

#include "tests/unit/desk.h"
#include "tray/devicemenu.h"

namespace {

struct DeviceMenu : DeskTest {
    void SetUp() override
    {
        DeskTest::SetUp();
        strcpy(g_app->ChildForm, "%s+ %s");
        strcpy(g_app->ChildSpace, " ");
    }

    MENULIST list;  // the last menu built

    // One line per entry: "id text [bitmap]", "g" when greyed, "--" for a
    // separator. Bitmaps are named by owner: c<slot> or m<command>.
    std::vector<std::string> Menu()
    {
        BuildDeviceMenu(list);
        std::vector<std::string> lines;
        for (DWORD k = 0; k < list.count; ++k) {
            const MENUENTRY& e = list.entries[k];
            if (e.kind == MENU_SEPARATOR) {
                lines.push_back("--");
                continue;
            }
            std::string bitmap = "-";
            for (int s = 0; s < CLASS_KNOWN; ++s)
                if (e.bitmap && e.bitmap == g_app->devices.classes[s].bitmap.hbitmap)
                    bitmap = "c" + std::to_string(s);
            for (int m = 0; m < 4; ++m)
                if (e.bitmap && e.bitmap == g_app->commandBitmaps[m].hbitmap)
                    bitmap = "m" + std::to_string(m);
            char id[8];
            snprintf(id, sizeof id, "%x", e.id);
            lines.push_back(std::string(id) + " " + e.text + " [" + bitmap + "]" +
                            (e.state == MENU_GRAYED ? " g" : ""));
        }
        return lines;
    }
};

const std::vector<std::string> kFixed = {"8010 &Scan [m0]", "8011 &Setup... [m1]",
                                         "8012 &About... [m2]", "--", "8013 &Exit [m3]"};

std::vector<std::string> With(std::vector<std::string> devices)
{
    devices.insert(devices.end(), kFixed.begin(), kFixed.end());
    return devices;
}

// A stick with disk and volume, a bare player, and a reader whose volume's
// class cannot be read.
std::string Desk(int readerProblem = 0)
{
    return Node(10, 0, 0x6000, 0, kUsb, "-", "Stick") + Node(11, 10, 0, 0, kDisk, "Disk") +
           Node(12, 11, 0, 0, kVolume, "Volume") + Node(20, 0, 0x6000, 0, kWpd, "Player") +
           Node(30, 0, readerProblem ? 0x6400 : 0x6000, readerProblem, kUsb, "Reader") +
           Node(31, 30, 0, 0, kDisk, "Slot") + Node(32, 31, 0, 0, "-", "Card");
}

TEST_F(DeviceMenu, EntriesFollowTheTableAndTheSettings)
{
    struct Row {
        const char* name;
        DWORD separator, childOnly;
        const char* space;
        std::vector<int> visible;
        std::vector<std::string> expected;
        int readerProblem = 0;
    } rows[] = {
        // clang-format off
        {"nothing visible", 1, 0, " ", {0, 0, 0}, kFixed},
        {"defaults", 1, 0, " ", {1, 1, 1},
         With({"8100 Stick [c10]", "8100 + Disk [c2]", "8100  + Volume [c0]", "--",
               "8101 Player [c11]", "--", "8102 Reader [c10]", "8102 + Slot [c2]",
               "8102  + Card [-]", "--"})},
        {"no separators: one before the commands", 0, 0, " ", {0, 1, 1},
         With({"8101 Player [c11]", "8102 Reader [c10]", "8102 + Slot [c2]", "8102  + Card [-]",
               "--"})},
        {"no separators, one device: still one before the commands", 0, 0, " ", {0, 1, 0},
         With({"8101 Player [c11]", "--"})},
        {"deepest node only, its own bitmap", 1, 1, " ", {1, 1, 1},
         With({"8100 Volume [c0]", "--", "8101 Player [c11]", "--", "8102 Card [-]", "--"})},
        {"two-blank indent", 1, 0, "  ", {1, 0, 0},
         With({"8100 Stick [c10]", "8100 + Disk [c2]", "8100   + Volume [c0]", "--"})},
        // A problem greys only the device's own entry.
        {"a problem", 1, 0, " ", {1, 1, 1},
         With({"8100 Stick [c10]", "8100 + Disk [c2]", "8100  + Volume [c0]", "--",
               "8101 Player [c11]", "--", "8102 Reader [c10] g", "8102 + Slot [c2]",
               "8102  + Card [-]", "--"}), 28},
        {"a problem, deepest node only", 1, 1, " ", {1, 1, 1},
         With({"8100 Volume [c0]", "--", "8101 Player [c11]", "--", "8102 Card [-] g", "--"}), 28},
        // clang-format on
    };
    g_app->HideInvalid = 0;
    for (const Row& row : rows) {
        Load(Desk(row.readerProblem));
        g_app->Separator = row.separator;
        g_app->ChildOnly = row.childOnly;
        strcpy(g_app->ChildSpace, row.space);
        std::copy(row.visible.begin(), row.visible.end(), g_app->visible);
        EXPECT_EQ(row.expected, Menu()) << row.name;
    }
}

TEST_F(DeviceMenu, WithoutATableOrCommandBitmapsOnlyThePlainCommands)
{
    Load(Desk());
    g_app->devices.Free();
    g_app->commandBitmaps[2].Release();
    std::vector<std::string> expected = kFixed;
    expected[2] = "8012 &About... [-]";
    EXPECT_EQ(expected, Menu());
}

// Member lines of a chain of 32 with 255-character names: the indent stops
// growing at 31 characters and no line passes 287.
TEST_F(DeviceMenu, DeepChainsLongNamesAndLongFormsStayInTheirBuffers)
{
    std::string tree = Node(1, 0, 0x6000, 0, kDisk, "Top");
    for (int h = 0; h < 33; ++h)
        tree += Node(2 + h, 1 + h, 0, 0, kDisk, "~255");
    Load(tree);
    const std::string name(255, 'L');
    const std::string longForm = std::string(27, 'x') + "%s%s";
    struct Row {
        const char* form;
        const char* space;
        size_t deepestIndent;
    } rows[] = {{"%s+ %s", " ", 31}, {"%s+ %s", "1234567", 28}, {longForm.c_str(), "  ", 30}};
    for (const Row& row : rows) {
        strcpy(g_app->ChildForm, row.form);
        strcpy(g_app->ChildSpace, row.space);
        BuildDeviceMenu(list);
        ASSERT_EQ(1u + 32 + 1 + 5, list.count) << row.form;
        char expect[1024];
        std::string indent;
        for (int h = 0; h < 32; ++h) {
            if (h > 0 && indent.size() + strlen(row.space) <= 31)
                indent += row.space;
            snprintf(expect, sizeof expect, row.form, indent.c_str(), name.c_str());
            expect[287] = '\0';
            EXPECT_STREQ(expect, list.entries[1 + h].text) << row.form << " member " << h;
        }
        EXPECT_EQ(row.deepestIndent, indent.size()) << row.form;
    }
}

TEST_F(DeviceMenu, OnlyPlainStringFormsAreUsedTheRestFallBackToTheDefault)
{
    Load(Node(1, 0, 0x6000, 0, kDisk, "Top") + Node(2, 1, 0, 0, kDisk, "A") +
         Node(3, 2, 0, 0, kDisk, "B"));
    const std::string percents31(31, '%'), percents30(30, '%');
    struct Row {
        std::string form, second;
    } rows[] = {
        // clang-format off
        {"%n", " + B"}, {"%x%s", " + B"}, {"%s%s%s", " + B"}, {"%999s", " + B"},
        {"%", " + B"}, {"%s%", " + B"}, {percents31, " + B"}, {"", ""},
        {percents30, std::string(15, '%')}, {"[%s] -> %s", "[ ] -> B"}, {"%%s %s", "%s  "},
        {"%s", " "},
        // clang-format on
    };
    for (const Row& row : rows) {
        snprintf(g_app->ChildForm, CHILDFORM_SIZE, "%s", row.form.c_str());
        BuildDeviceMenu(list);
        ASSERT_LE(3u, list.count);
        EXPECT_EQ(row.second, list.entries[2].text) << "form [" << row.form << "]";
        EXPECT_EQ(row.form.substr(0, 31), g_app->ChildForm) << "the stored form is left alone";
    }
}

// The sample: stick 10, player 20, reader 30. Rows give the tree after the
// menu was shown and the device each id then ejects (0: none).
TEST_F(DeviceMenu, AChoiceMeansTheDeviceTheMenuShowed)
{
    const std::string stick = Node(10, 0, 0x6000, 0, kUsb, "Stick");
    const std::string player = Node(20, 0, 0x6000, 0, kWpd, "Player");
    const std::string reader = Node(30, 0, 0x6000, 0, kUsb, "Reader");
    const std::string camera = Node(40, 0, 0x6000, 0, kUsb, "Camera");
    struct Row {
        const char* name;
        int shown;  // menus shown: a second one over the table after
        std::vector<int> visible;
        std::string after;
        std::vector<DWORD> ejects;  // ids 0 to 3
    } rows[] = {
        // clang-format off
        {"no menu: by index", false, {1, 1, 1}, player + reader, {20, 30, 0, 0}},
        {"no rescan: by index, listed or not", true, {1, 0, 1}, stick + player + reader,
         {10, 20, 30, 0}},
        {"stick pulled: ids follow their devices", true, {1, 1, 1}, player + reader,
         {0, 20, 30, 0}},
        {"camera plugged in first", true, {1, 1, 1}, camera + stick + player + reader,
         {10, 20, 30, 30}},
        {"an id the menu did not list: by index", true, {1, 0, 1}, camera + stick + reader,
         {10, 10, 30, 0}},
        {"stick pulled, a second menu: the first one's ids are gone", 2, {1, 1, 1},
         player + reader, {20, 30, 0, 0}},
        // clang-format on
    };
    auto showMenu = [this] {
        BuildDeviceMenu(list);
        g_app->lastMenu.Remember(list, g_app->devices);
    };
    for (const Row& row : rows) {
        g_app->lastMenu = MENUCHOICE();
        Load(stick + player + reader);
        std::copy(row.visible.begin(), row.visible.end(), g_app->visible);
        if (row.shown)
            showMenu();
        Load(row.after);
        if (row.shown > 1)
            showMenu();
        for (DWORD i = 0; i < row.ejects.size(); ++i)
            EXPECT_EQ(row.ejects[i], ResolveDeviceCommand(g_app->lastMenu, g_app->devices, i))
                << row.name << ", id " << i;
    }
    g_app->devices.Free();
    EXPECT_EQ(0u, ResolveDeviceCommand(g_app->lastMenu, g_app->devices, 0)) << "no table";
}

}  // namespace
