#include "devices/usbdev.h"

#include <cstring>

#include "app/holders.h"
#include "app/ids.h"

#define CLASS_TEXT_(name, text) text,
const char* const kClassTexts[CLASS_KNOWN] = {CLASS_TABLE(CLASS_TEXT_)};
#undef CLASS_TEXT_

namespace {

int EqualIgnoringCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        unsigned char x = (unsigned char)*a, y = (unsigned char)*b;
        if (x >= 'a' && x <= 'z')
            x = (unsigned char)(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = (unsigned char)(y - 'a' + 'A');
        if (x != y)
            return 0;
        if (!x)
            return 1;
    }
}

}  // namespace

// Printer (slot 8) has no row: its devices carry no picture.
const CLASSICON kClassIcons[CLASSICON_ROWS] = {
    {0, IDI_CLASS_FIRST + 0},   {1, IDI_CLASS_FIRST + 1},   {2, IDI_CLASS_FIRST + 2},
    {3, IDI_CLASS_FIRST + 3},   {4, IDI_CLASS_FIRST + 4},   {5, IDI_CLASS_FIRST + 5},
    {6, IDI_CLASS_FIRST + 6},   {7, IDI_CLASS_FIRST + 7},   {9, IDI_CLASS_FIRST + 9},
    {10, IDI_CLASS_FIRST + 10}, {11, IDI_CLASS_FIRST + 11},
};
static_assert(IDI_CLASS_FIRST + CLASS_KNOWN - 1 == IDI_CLASS_LAST, "one icon id per known class");

CBMPICON::CBMPICON() : hbitmap(0) {}

CBMPICON::~CBMPICON() { Release(); }

void CBMPICON::Release()
{
    if (hbitmap) {
        DeleteObject(hbitmap);
        hbitmap = 0;
    }
}

HBITMAP CreateBitmap32(int cx, int cy)
{
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = cy;  // positive: bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = 0;
    return CreateDIBSection(0, &info, DIB_RGB_COLORS, &bits, 0, 0);
}

int CBMPICON::RenderIcon(HICON icon, int cx, int cy)
{
    if (!icon)
        return 0;
    Release();
    hbitmap = CreateBitmap32(cx, cy);
    if (!hbitmap)
        return 0;
    HOLDER<HDC, DeleteDC> dc(CreateCompatibleDC(0));
    if (!dc.Held())
        return 0;
    SELECTION selected(dc.handle, hbitmap);
    return DrawIconEx(dc.handle, 0, 0, icon, cx, cy, 0, 0, DI_NORMAL);
}

int CBMPICON::LoadIconBitmap(WORD iconId)
{
    int cy = GetSystemMetrics(SM_CYSMICON);
    int cx = GetSystemMetrics(SM_CXSMICON);
    HOLDER<HICON, DestroyIcon> icon((HICON)LoadImageA(GetModuleHandleA(0), MAKEINTRESOURCEA(iconId),
                                                      IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    if (!icon.Held())
        return 0;
    return RenderIcon(icon.handle, cx, cy);
}

CUSBDEV::CUSBDEV()
{
    for (int k = 0; k < CLASS_SLOTS; ++k)
        memset(classes[k].guidText, 0, GUIDTEXT_SIZE);
    for (int k = 0; k < CLASS_KNOWN; ++k)
        strncpy(classes[k].guidText, kClassTexts[k], GUIDTEXT_SIZE - 1);
}

CUSBDEV::~CUSBDEV()
{
    for (int k = 0; k < CLASS_KNOWN; ++k)
        classes[k].bitmap.Release();
}

int LoadClassBitmaps(const CLASSICON* rows, CUSBDEV& devices)
{
    if (!rows)
        return 0;
    int result = 1;
    for (int r = 0; r < CLASSICON_ROWS; ++r) {
        int slot = rows[r].classIndex;
        if (slot < 0 || slot >= CLASS_KNOWN) {
            result = 0;
            continue;
        }
        devices.classes[slot].bitmap.Release();
        if (!devices.classes[slot].bitmap.LoadIconBitmap(rows[r].iconId))
            result = 0;
    }
    return result;
}

int LookupClassSlot(const CUSBDEV& devices, const char* guidText)
{
    int found = 0;
    for (int k = 0; k < CLASS_KNOWN; ++k)
        if (EqualIgnoringCase(guidText, devices.classes[k].guidText))
            found = k;
    return found;
}

HBITMAP LookupClassBitmap(const CUSBDEV& devices, const char* guidText)
{
    return devices.classes[LookupClassSlot(devices, guidText)].bitmap.hbitmap;
}

HBITMAP ClassBitmapOfDevice(const CUSBDEV& devices, DWORD i)
{
    char text[GUIDTEXT_SIZE];
    memset(text, 0, sizeof text);
    if (!devices.ReadClassGuid(i, text))
        return 0;
    return LookupClassBitmap(devices, text);
}

HBITMAP ClassBitmapOfDeepestNode(const CUSBDEV& devices, DWORD i)
{
    if (!devices.table || i >= devices.count)
        return 0;
    char text[GUIDTEXT_SIZE];
    memset(text, 0, sizeof text);
    // The menu shows the last member a record holds, so its picture is that one's.
    DWORD members = devices.table[i].chainCount;
    if (members > CHAIN_MAX)
        members = CHAIN_MAX;
    int ok = members > 0 ? devices.ReadChainClassGuid(i, members - 1, text)
                         : devices.ReadClassGuid(i, text);
    return ok ? LookupClassBitmap(devices, text) : 0;
}
