// The device menu's entries in a real popup menu, read back item by item.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/holders.h"
#include "devices/usbdev.h"
#include "tray/devicemenu.h"

namespace {

struct Item {
    UINT type, id;
    std::string text;
    UINT state;
    HBITMAP bitmap;
    BOOL read = TRUE;  // GetMenuItemInfoA succeeded
};

Item ReadItem(HMENU menu, int position)
{
    char text[CHAINLINE_SIZE + 8];
    memset(text, '#', sizeof text);
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_BITMAP;
    mii.dwTypeData = text;
    mii.cch = sizeof text;
    BOOL read = GetMenuItemInfoA(menu, position, TRUE, &mii);
    return Item{mii.fType,  mii.wID,      (mii.fType & MFT_SEPARATOR) ? "" : text,
                mii.fState, mii.hbmpItem, read};
}

// A problem device with a chain line, a separator, a device with a 287-
// character line, and a problem device whose entry is the last one.
TEST(DeviceMenuWin, ItemsCarryTheListsTypesIdsTextsStatesAndBitmaps)
{
    HOLDER<HGDIOBJ, DeleteObject> diskHeld(CreateBitmap32(16, 16)), usbHeld(CreateBitmap32(16, 16));
    HBITMAP disk = (HBITMAP)diskHeld.handle, usb = (HBITMAP)usbHeld.handle;
    ASSERT_TRUE(disk && usb);
    const std::string longLine(CHAINLINE_SIZE - 1, 'L');
    MENULIST list;
    ASSERT_EQ(1, list.Reserve(7));
    list.AddString("Reader", 0x8100, usb)->state = MENU_GRAYED;
    list.AddString("+ Slot", 0x8100, disk);
    list.AddSeparator();
    list.AddString("Stick", 0x8101, 0);
    list.AddString(longLine.c_str(), 0x8101, disk);
    list.AddString("Camera", 0x8103, usb)->state = MENU_GRAYED;
    list.AddString("&Exit", 0x8013, 0);

    HOLDER<HMENU, DestroyMenu> popup(CreatePopupMenu());
    HMENU menu = popup.handle;
    ASSERT_TRUE(menu != 0);
    FillDeviceMenu(menu, list);
    const Item expected[] = {
        {MFT_STRING, 0x8100, "Reader", MFS_GRAYED, usb},
        {MFT_STRING, 0x8100, "+ Slot", MFS_ENABLED, disk},
        {MFT_SEPARATOR, 0, "", MFS_ENABLED, 0},
        {MFT_STRING, 0x8101, "Stick", MFS_ENABLED, 0},
        {MFT_STRING, 0x8101, longLine, MFS_ENABLED, disk},
        {MFT_STRING, 0x8103, "Camera", MFS_GRAYED, usb},
        {MFT_STRING, 0x8013, "&Exit", MFS_ENABLED, 0},
    };
    const int n = sizeof expected / sizeof expected[0];
    ASSERT_EQ(n, GetMenuItemCount(menu));
    for (int k = 0; k < n; ++k) {
        SetLastError(0xdeadbeef);
        Item got = ReadItem(menu, k);
        EXPECT_TRUE(got.read) << "item " << k << ", error " << GetLastError();
        EXPECT_EQ(expected[k].type, got.type) << "item " << k;
        EXPECT_EQ(expected[k].id, got.id) << "item " << k;
        EXPECT_EQ(expected[k].text, got.text) << "item " << k;
        EXPECT_EQ(expected[k].state, got.state) << "item " << k;
        EXPECT_EQ(expected[k].bitmap, got.bitmap) << "item " << k;
    }
    EXPECT_FALSE(ReadItem(menu, n).read) << "an item past the end";

    EXPECT_TRUE(DestroyMenu(menu));
    popup.handle = 0;
    EXPECT_FALSE(IsMenu(menu));
    // The bitmaps stay their owners': destroying the menu leaves them.
    BITMAP info;
    EXPECT_EQ((int)sizeof info, GetObjectA(disk, sizeof info, &info));
}

}  // namespace
