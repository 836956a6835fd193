// Class bitmaps: which picture a setup class gets, and who owns it.
#include <algorithm>
#include <cstdio>
#include <set>

#include "devices/usbdev.h"
#include "tests/unit/desk.h"

namespace {

struct ClassBitmaps : FakesTest {
    CUSBDEV devices;
    HBITMAP Of(const char* text) const { return LookupClassBitmap(devices, text); }
};

TEST_F(ClassBitmaps, EveryPicturedClassHasItsOwnBitmapAndPrinterNone)
{
    ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    std::set<HBITMAP> seen;
    const HBITMAP generic = Of(kVolume);
    ASSERT_NE(nullptr, generic);
    seen.insert(generic);
    for (int slot = 1; slot < CLASS_KNOWN; ++slot) {
        const char* text = kClassTexts[slot];
        HBITMAP b = Of(text);
        EXPECT_EQ(slot == CLASS_PRINTER, b == nullptr) << text;
        EXPECT_TRUE(slot == CLASS_PRINTER || seen.insert(b).second) << text << " shares a bitmap";
    }
    EXPECT_EQ(11, g_fake.liveBitmaps);
    EXPECT_EQ(0, g_fake.liveIcons) << "icons stay loaded after rendering";
}

TEST_F(ClassBitmaps, AnythingNotExactlyAKnownClassGetsTheGenericBitmap)
{
    ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    const HBITMAP generic = Of(kVolume);
    std::string disk = kDisk;
    std::string oneOff = disk;
    oneOff[1] = '5';
    const std::string nearMisses[] = {
        "", disk.substr(0, disk.size() - 1), disk + "}", disk + " ", oneOff, disk.substr(1)};
    for (const std::string& text : nearMisses)
        EXPECT_EQ(generic, Of(text.c_str())) << "[" << text << "]";
    EXPECT_NE(generic, Of(kDisk));
}

TEST_F(ClassBitmaps, LookupIgnoresLetterCase)
{
    ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    EXPECT_EQ(CLASS_WPD, LookupClassSlot(devices, "{eec5ad98-8080-425f-922a-dabf3de3f69a}"));
    EXPECT_EQ(CLASS_WPD, LookupClassSlot(devices, "{EeC5aD98-8080-425f-922A-dabF3DE3F69a}"));
    EXPECT_EQ(Of(kUsb), Of("{36fc9e60-c465-11cf-8056-444553540000}"));
    EXPECT_EQ(nullptr, Of("{4d36e979-e325-11ce-bfc1-08002be10318}")) << "printer in lower case";
}

TEST_F(ClassBitmaps, TheLastEqualSlotWins)
{
    ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    // Give the SCSI and USB slots the disk class text, the latter in lower case.
    snprintf(devices.classes[9].guidText, GUIDTEXT_SIZE, "%s", kDisk);
    snprintf(devices.classes[10].guidText, GUIDTEXT_SIZE, "%s",
             "{4d36e967-e325-11ce-bfc1-08002be10318}");
    EXPECT_EQ(10, LookupClassSlot(devices, kDisk));
    EXPECT_EQ(devices.classes[10].bitmap.hbitmap, Of(kDisk));
}

TEST_F(ClassBitmaps, IconsAreLoadedAtTheSmallIconSize)
{
    g_fake.smallIcon = 24;
    ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    ASSERT_EQ(11u, g_fake.loads.size());
    for (const std::string& load : g_fake.loads) {
        EXPECT_EQ(0u, load.find("res:")) << load;
        EXPECT_NE(std::string::npos, load.find(":24x24")) << load;
        EXPECT_EQ(std::string::npos, load.find(":228:")) << "the printer slot has no picture";
    }
}

TEST_F(ClassBitmaps, AFailedRowIsReportedAndTheOthersStillLoad)
{
    g_fake.missingIcons.insert(225);  // MEDIA
    EXPECT_EQ(0, LoadClassBitmaps(kClassIcons, devices));
    EXPECT_EQ(nullptr, Of(kClassTexts[CLASS_MEDIA]))
        << "a class without its picture must not borrow another";
    EXPECT_NE(nullptr, Of(kClassTexts[CLASS_MONITOR]));
    EXPECT_NE(nullptr, Of(kWpd));
    EXPECT_EQ(10, g_fake.liveBitmaps);
}

TEST_F(ClassBitmaps, RowsOutsideTheKnownSlotsAreRefused)
{
    EXPECT_EQ(0, LoadClassBitmaps(nullptr, devices));
    EXPECT_EQ(0, g_fake.liveBitmaps);

    CLASSICON rows[CLASSICON_ROWS];
    std::copy(kClassIcons, kClassIcons + CLASSICON_ROWS, rows);
    rows[0].classIndex = -1;
    rows[1].classIndex = CLASS_KNOWN;  // a slot the destructor never releases
    EXPECT_EQ(0, LoadClassBitmaps(rows, devices));
    EXPECT_EQ(9, g_fake.liveBitmaps);
    EXPECT_EQ(nullptr, devices.classes[CLASS_KNOWN].bitmap.hbitmap);
    EXPECT_NE(nullptr, Of(kWpd));
}

TEST_F(ClassBitmaps, ReloadingKeepsOneBitmapPerClassAndDestructionFreesThem)
{
    {
        CUSBDEV local;
        ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, local));
        ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, local));
        EXPECT_EQ(11, g_fake.liveBitmaps);
    }
    EXPECT_EQ(0, g_fake.liveBitmaps);
}

// Composite (a mouse below), Player (nothing below), Reader (a classless
// slot below), Bare (no class; not the generic class), past the table.
TEST_F(ClassBitmaps, ADeviceShowsItsOwnClassTheDeepestNodeBelowItsOwn)
{
    ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    ASSERT_EQ(1, devices.Create());
    ASSERT_EQ(1, FakeDev_LoadText(
                     Node(1, 0, 0x6000, 0, kUsb, "Composite") + Node(2, 1, 0, 0, kHid, "Input") +
                     Node(3, 2, 0, 0, kMouse, "Mouse") +  // deepest below 1
                     Node(4, 0, 0x6000, 0, kWpd, "Player") + Node(5, 0, 0x6000, 0, kUsb, "Reader") +
                     Node(6, 5, 0, 0, "-", "Slot") + Node(7, 0, 0x6000, 0, "-", "Bare")));
    devices.Scan(1);
    ASSERT_EQ(4u, devices.count);
    const HBITMAP own[5] = {Of(kUsb), Of(kWpd), Of(kUsb), nullptr, nullptr};
    const HBITMAP deepest[5] = {Of(kMouse), Of(kWpd), nullptr, nullptr, nullptr};
    for (DWORD i = 0; i < 5; ++i) {
        EXPECT_EQ(own[i], ClassBitmapOfDevice(devices, i)) << "device " << i;
        EXPECT_EQ(deepest[i], ClassBitmapOfDeepestNode(devices, i)) << "device " << i;
    }
    devices.table[0].chainCount = CHAIN_MAX + 8;  // a count past what a record holds
    devices.table[0].chain[CHAIN_MAX - 1].devInst = 3;
    EXPECT_EQ(Of(kMouse), ClassBitmapOfDeepestNode(devices, 0)) << "the last member held";
    devices.Free();
    EXPECT_EQ(nullptr, ClassBitmapOfDeepestNode(devices, 0));
    EXPECT_EQ(nullptr, ClassBitmapOfDevice(devices, 0));
}

using BitmapHolder = ClassBitmaps;

TEST_F(BitmapHolder, TwoLoadsLeaveOneBitmapAndNoIcon)
{
    {
        CBMPICON holder;
        ASSERT_NE(0, holder.LoadIconBitmap(210));
        HBITMAP first = holder.hbitmap;
        EXPECT_EQ((HGDIOBJ)first, g_fake.selections.at(0)) << "drawn into the holder's own bitmap";
        ASSERT_NE(0, holder.LoadIconBitmap(211));
        EXPECT_NE(first, holder.hbitmap);
        EXPECT_EQ(1, g_fake.liveBitmaps);
        EXPECT_EQ(0, g_fake.liveIcons);
        EXPECT_EQ(0, g_fake.liveDCs);
        EXPECT_EQ(0, g_fake.dcsDeletedHoldingObject)
            << "a DC must get its old object back before it goes";
        holder.Release();
        holder.Release();
        EXPECT_EQ(nullptr, holder.hbitmap);
        EXPECT_EQ(0, g_fake.liveBitmaps);
        ASSERT_NE(0, holder.LoadIconBitmap(212));
    }
    EXPECT_EQ(0, g_fake.liveBitmaps) << "the holder's destructor must release its bitmap";
}

TEST_F(BitmapHolder, FailuresReportZeroAndLeakNothing)
{
    {
        CBMPICON holder;
        g_fake.missingIcons.insert(213);
        EXPECT_EQ(0, holder.LoadIconBitmap(213));
        EXPECT_EQ(nullptr, holder.hbitmap);

        EXPECT_EQ(0, holder.RenderIcon(0, 16, 16));
        EXPECT_EQ(0, g_fake.liveBitmaps);

        HICON icon = (HICON)LoadImageA(0, MAKEINTRESOURCEA(210), IMAGE_ICON, 16, 16, 0);
        g_fake.dibFails = true;
        EXPECT_EQ(0, holder.RenderIcon(icon, 16, 16));
        EXPECT_EQ(nullptr, holder.hbitmap);
        g_fake.dibFails = false;

        g_fake.dcFails = true;
        EXPECT_EQ(0, holder.RenderIcon(icon, 16, 16));
        EXPECT_EQ(0, g_fake.liveDCs);
        g_fake.dcFails = false;

        EXPECT_NE(0, holder.RenderIcon(icon, 16, 16));
        EXPECT_EQ(1, g_fake.liveBitmaps);
        EXPECT_EQ(0, g_fake.liveDCs);
        DestroyIcon(icon);
    }
    EXPECT_EQ(0, g_fake.liveBitmaps);
    EXPECT_EQ(0, g_fake.liveIcons);
}

}  // namespace
