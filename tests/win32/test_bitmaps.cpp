// Menu bitmaps rendered from the program's icons with real GDI.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "app/ids.h"
#include "devices/usbdev.h"

namespace {

void ExpectSmallIconBitmap(HBITMAP bitmap, const char* what)
{
    ASSERT_NE(nullptr, bitmap) << what;
    ASSERT_EQ((DWORD)OBJ_BITMAP, GetObjectType(bitmap)) << what;
    DIBSECTION dib = {};
    ASSERT_EQ((int)sizeof dib, GetObjectA(bitmap, sizeof dib, &dib)) << what;
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), dib.dsBm.bmWidth) << what;
    EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), dib.dsBm.bmHeight) << what;
    EXPECT_EQ(32, dib.dsBm.bmBitsPixel) << what;
    // The icon was actually drawn: some pixel is not blank.
    ASSERT_NE(nullptr, dib.dsBm.bmBits) << what;
    const DWORD* pixels = (const DWORD*)dib.dsBm.bmBits;
    size_t n = (size_t)dib.dsBm.bmWidth * dib.dsBm.bmHeight;
    EXPECT_LT((size_t)std::count(pixels, pixels + n, DWORD(0)), n) << what << ": all blank";
}

// GDI objects where the system counts them; -1 (Wine) skips the count checks, visibly.
long GdiObjects()
{
    DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return n ? (long)n : -1;
}

// The first of two loads made `added` GDI objects, the second none.
void ExpectGdiObjects(long before, long afterFirst, long afterSecond, long added)
{
    if (before < 0)
        GTEST_SKIP() << "no GDI object count here: handles checked, counts not made";
    EXPECT_EQ(before + added, afterFirst);
    EXPECT_EQ(afterFirst, afterSecond);
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

TEST(ClassBitmaps, EveryListedClassGetsASmallIconBitmap)
{
    CUSBDEV devices;
    EXPECT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    std::set<int> listed;
    for (const CLASSICON& row : kClassIcons)
        listed.insert(row.classIndex);
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

// One load into either holder (the device table loads every class, whatever
// the id), and the bitmaps it then holds.
std::set<HBITMAP> Load(CBMPICON& holder, WORD id)
{
    EXPECT_NE(0, holder.LoadIconBitmap(id)) << id;
    return {holder.hbitmap};
}
std::set<HBITMAP> Load(CUSBDEV& devices, WORD)
{
    EXPECT_EQ(1, LoadClassBitmaps(kClassIcons, devices));
    std::set<HBITMAP> held;
    for (int k = 0; k < CLASS_KNOWN; ++k)
        if (devices.classes[k].bitmap.hbitmap)
            held.insert(devices.classes[k].bitmap.hbitmap);
    return held;
}

// A second load draws `count` new bitmaps and deletes the first ones
// (handles are not reused at once, so a kept one would still answer):
// no more GDI objects than after one load.
template <class Holder>
void ExpectReloadReplaces(size_t count)
{
    Holder holder;
    long before = GdiObjects();
    std::set<HBITMAP> first = Load(holder, IDI_CMD_SCAN);
    long afterFirst = GdiObjects();
    std::set<HBITMAP> second = Load(holder, IDI_CMD_EXIT);
    long afterSecond = GdiObjects();
    ASSERT_EQ(count, first.size());
    ASSERT_EQ(count, second.size());
    for (HBITMAP now : second)
        ExpectSmallIconBitmap(now, "second load");
    for (HBITMAP old : first) {
        EXPECT_EQ(0u, second.count(old)) << "a reload draws new bitmaps";
        EXPECT_EQ(0u, GetObjectType(old));
    }
    ExpectGdiObjects(before, afterFirst, afterSecond, (long)count);
}

template <class Holder>
void ExpectDeletedWithTheHolder()
{
    std::set<HBITMAP> held;
    {
        Holder holder;
        held = Load(holder, IDI_CMD_ABOUT);
        for (HBITMAP h : held)
            ASSERT_EQ((DWORD)OBJ_BITMAP, GetObjectType(h));
    }
    ASSERT_FALSE(held.empty());
    for (HBITMAP h : held)
        EXPECT_EQ(0u, GetObjectType(h));
}

TEST(CommandBitmaps, SecondLoadReplacesTheFirstBitmap) { ExpectReloadReplaces<CBMPICON>(1); }
TEST(CommandBitmaps, HolderDeletesItsBitmapWhenItGoes) { ExpectDeletedWithTheHolder<CBMPICON>(); }
TEST(ClassBitmaps, LoadingTwiceKeepsOneBitmapPerClass)
{
    ExpectReloadReplaces<CUSBDEV>(CLASSICON_ROWS);
}
TEST(ClassBitmaps, DeviceHolderDeletesItsBitmapsWhenItGoes)
{
    ExpectDeletedWithTheHolder<CUSBDEV>();
}

}  // namespace
