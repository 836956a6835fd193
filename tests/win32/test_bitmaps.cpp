// Menu bitmaps rendered from the program's icons with real GDI.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/ids.h"
#include "devices/usbdev.h"

namespace {

void ExpectSmallIconBitmap(HBITMAP bitmap, const char* what)
{
    ASSERT_NE(nullptr, bitmap) << what;
    ASSERT_EQ((DWORD)OBJ_BITMAP, GetObjectType(bitmap)) << what;
    DIBSECTION dib;
    memset(&dib, 0, sizeof dib);
    ASSERT_EQ((int)sizeof dib, GetObjectA(bitmap, sizeof dib, &dib)) << what;
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), dib.dsBm.bmWidth) << what;
    EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), dib.dsBm.bmHeight) << what;
    EXPECT_EQ(32, dib.dsBm.bmBitsPixel) << what;
    // The icon was actually drawn: some pixel is not blank.
    ASSERT_NE(nullptr, dib.dsBm.bmBits) << what;
    const DWORD* pixels = (const DWORD*)dib.dsBm.bmBits;
    size_t n = (size_t)dib.dsBm.bmWidth * dib.dsBm.bmHeight;
    size_t painted = 0;
    for (size_t k = 0; k < n; ++k)
        if (pixels[k] != 0)
            ++painted;
    EXPECT_GT(painted, 0u) << what;
}

// GDI objects where the system counts them; -1 (Wine) skips the count checks, visibly.
const char kNoGdiCount[] = "no GDI object count here: handles checked, counts not made";
long GdiObjects()
{
    DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return n ? (long)n : -1;
}

// 9999: a missing icon, reported, and no bitmap left.
TEST(CommandBitmaps, HaveTheSmallIconSizeAndAMissingIconNone)
{
    for (WORD id : {IDI_CMD_SCAN, IDI_CMD_SETUP, IDI_CMD_ABOUT, IDI_CMD_EXIT, 9999}) {
        CBMPICON holder;
        EXPECT_EQ(id != 9999, holder.LoadIconBitmap(id) != 0) << id;
        if (id != 9999)
            ExpectSmallIconBitmap(holder.hbitmap, std::to_string(id).c_str());
        else
            EXPECT_EQ(nullptr, holder.hbitmap);
    }
}

TEST(CommandBitmaps, SecondLoadReplacesTheFirstBitmap)
{
    CBMPICON holder;
    long before = GdiObjects();
    ASSERT_NE(0, holder.LoadIconBitmap(IDI_CMD_SCAN));
    HBITMAP first = holder.hbitmap;
    long afterFirst = GdiObjects();
    ASSERT_NE(0, holder.LoadIconBitmap(IDI_CMD_EXIT));
    HBITMAP second = holder.hbitmap;
    long afterSecond = GdiObjects();

    ExpectSmallIconBitmap(second, "second");
    // Handles are not reused at once, so a kept first bitmap would still answer.
    ASSERT_NE(first, second);
    EXPECT_EQ(0u, GetObjectType(first));
    if (before < 0)
        GTEST_SKIP() << kNoGdiCount;
    EXPECT_EQ(before + 1, afterFirst);
    EXPECT_EQ(afterFirst, afterSecond);
}

TEST(CommandBitmaps, HolderDeletesItsBitmapWhenItGoes)
{
    HBITMAP held = 0;
    {
        CBMPICON holder;
        ASSERT_NE(0, holder.LoadIconBitmap(IDI_CMD_ABOUT));
        held = holder.hbitmap;
        ASSERT_EQ((DWORD)OBJ_BITMAP, GetObjectType(held));
    }
    EXPECT_EQ(0u, GetObjectType(held));
}

std::set<int> SlotsWithRows()
{
    std::set<int> slots;
    for (int r = 0; r < CLASSICON_ROWS; ++r)
        slots.insert(kClassIcons[r].classIndex);
    return slots;
}

// The bitmaps the class slots hold.
std::set<HBITMAP> Held(const CUSBDEV& devices)
{
    std::set<HBITMAP> held;
    for (int k = 0; k < CLASS_KNOWN; ++k)
        if (devices.classes[k].bitmap.hbitmap)
            held.insert(devices.classes[k].bitmap.hbitmap);
    return held;
}

TEST(ClassBitmaps, EveryListedClassGetsASmallIconBitmap)
{
    CUSBDEV devices;
    EXPECT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    std::set<int> listed = SlotsWithRows();
    for (int k = 0; k < CLASS_KNOWN; ++k) {
        std::string what = "slot " + std::to_string(k);
        if (listed.count(k))
            ExpectSmallIconBitmap(devices.classes[k].bitmap.hbitmap, what.c_str());
        else
            EXPECT_EQ(nullptr, devices.classes[k].bitmap.hbitmap) << what;
    }
    // Printers are drawn without a picture.
    EXPECT_EQ(nullptr, devices.classes[CLASS_PRINTER].bitmap.hbitmap);
    EXPECT_EQ(nullptr, LookupClassBitmap(devices, "{4D36E979-E325-11CE-BFC1-08002BE10318}"));
}

TEST(ClassBitmaps, LoadingTwiceKeepsOneBitmapPerClass)
{
    CUSBDEV devices;
    long before = GdiObjects();
    ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    long afterFirst = GdiObjects();
    std::set<HBITMAP> first = Held(devices);
    ASSERT_EQ((size_t)CLASSICON_ROWS, first.size());

    ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    long afterSecond = GdiObjects();
    std::set<HBITMAP> current = Held(devices);
    EXPECT_EQ((size_t)CLASSICON_ROWS, current.size());
    for (HBITMAP old : first) {
        EXPECT_EQ(0u, current.count(old)) << "a reload draws new bitmaps";
        EXPECT_EQ(0u, GetObjectType(old));
    }
    if (before < 0)
        GTEST_SKIP() << kNoGdiCount;
    EXPECT_EQ(before + CLASSICON_ROWS, afterFirst);
    EXPECT_EQ(afterFirst, afterSecond);
}

TEST(ClassBitmaps, BadRowsFailWithoutStoppingTheRest)
{
    CLASSICON rows[CLASSICON_ROWS];
    std::copy(kClassIcons, kClassIcons + CLASSICON_ROWS, rows);
    rows[2].classIndex = CLASS_KNOWN;  // no such slot
    rows[5].iconId = 9999;             // no such icon
    CUSBDEV devices;
    EXPECT_EQ(0, LoadClassBitmaps(rows, devices));
    EXPECT_EQ(nullptr, devices.classes[rows[5].classIndex].bitmap.hbitmap);
    ExpectSmallIconBitmap(devices.classes[rows[10].classIndex].bitmap.hbitmap, "last row");
    EXPECT_EQ(0, LoadClassBitmaps(0, devices));
}

TEST(ClassBitmaps, DeviceHolderDeletesItsBitmapsWhenItGoes)
{
    std::set<HBITMAP> held;
    {
        CUSBDEV devices;
        ASSERT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
        held = Held(devices);
    }
    ASSERT_FALSE(held.empty());
    for (HBITMAP h : held)
        EXPECT_EQ(0u, GetObjectType(h));
}

}  // namespace
