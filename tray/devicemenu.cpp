// The device menu as data: which entries, in which order, with which ids,
// bitmaps and states. The Windows calls that show it live in
// devicemenu_win.cpp.
#include "tray/devicemenu.h"

#include <cstring>
#include <new>

#include "app/appstate.h"
#include "app/ids.h"
#include "devices/usbdev.h"

namespace {

// Length of a fixed-width field that may lack its terminator.
size_t BoundedLength(const char* text, size_t width)
{
    size_t n = 0;
    while (n < width && text[n])
        ++n;
    return n;
}

void CopyBounded(char* out, size_t size, const char* text, size_t width)
{
    size_t n = BoundedLength(text, width);
    if (n > size - 1)
        n = size - 1;
    memcpy(out, text, n);
    out[n] = '\0';
}

}  // namespace

MENULIST::MENULIST() : entries(0), count(0), capacity(0) {}

MENULIST::~MENULIST() { Release(); }

void MENULIST::Release()
{
    if (entries) {
        delete[] entries;
        entries = 0;
    }
    count = 0;
    capacity = 0;
}

int MENULIST::Reserve(DWORD n)
{
    Release();
    entries = new (std::nothrow) MENUENTRY[n];
    if (!entries)
        return 0;
    capacity = n;
    return 1;
}

MENUENTRY* MENULIST::AddString(const char* text, WORD id, HBITMAP bitmap, size_t width)
{
    if (count >= capacity)
        return 0;
    MENUENTRY& e = entries[count++];
    e.kind = MENU_STRING;
    CopyBounded(e.text, sizeof e.text, text, width);
    e.id = id;
    e.bitmap = bitmap;
    e.state = MENU_ENABLED;
    return &e;
}

void MENULIST::AddSeparator()
{
    if (count >= capacity)
        return;
    MENUENTRY& e = entries[count++];
    e.kind = MENU_SEPARATOR;
    e.text[0] = '\0';
    e.id = 0;
    e.bitmap = 0;
    e.state = MENU_ENABLED;
}

int ChildFormUsable(const char* form)
{
    size_t n = BoundedLength(form, CHILDFORM_SIZE - 1);
    int strings = 0;
    for (size_t k = 0; k < n; ++k) {
        if (form[k] != '%')
            continue;
        if (k + 1 >= n)
            return 0;  // a lone '%' at the end
        char c = form[++k];
        if (c == 's')
            ++strings;
        else if (c != '%')
            return 0;
    }
    return strings <= 2;
}

void FormatChainLine(char* out, const char* form, const char* indent, const char* name)
{
    // The form comes from the registry: it is read here, never handed to
    // the C library as a format.
    const char* args[2] = {indent, name};
    const size_t widths[2] = {INDENT_SIZE - 1, DEVNAME_SIZE - 1};
    size_t n = BoundedLength(form, CHILDFORM_SIZE - 1), used = 0, next = 0;
    const size_t room = CHAINLINE_SIZE - 1;
    for (size_t k = 0; k < n && used < room; ++k) {
        if (form[k] == '%' && k + 1 < n && form[k + 1] == 's') {
            ++k;
            if (next < 2) {
                size_t len = BoundedLength(args[next], widths[next]);
                if (len > room - used)
                    len = room - used;
                memcpy(out + used, args[next], len);
                used += len;
                ++next;
            }
        } else if (form[k] == '%' && k + 1 < n && form[k + 1] == '%') {
            ++k;
            out[used++] = '%';
        } else {
            out[used++] = form[k];
        }
    }
    out[used] = '\0';
}

void BuildDeviceMenu(MENULIST& list)
{
    const APPSTATE& app = *g_app;
    const CUSBDEV& devices = app.devices;
    DWORD count = devices.table ? devices.count : 0;
    if (count > MAX_TABLE)
        count = MAX_TABLE;

    DWORD shown = 0, needed = 5;
    for (DWORD i = 0; i < count; ++i) {
        if (!app.visible[i])
            continue;
        ++shown;
        DWORD members = devices.table[i].chainCount;
        if (members > CHAIN_MAX)
            members = CHAIN_MAX;
        needed += (app.ChildOnly ? 1 : 1 + members) + (app.Separator ? 1 : 0);
    }
    if (shown > 0 && !app.Separator)
        ++needed;
    if (!list.Reserve(needed))
        return;

    const char* form = ChildFormUsable(app.ChildForm) ? app.ChildForm : DEFAULT_CHILDFORM;
    size_t step = BoundedLength(app.ChildSpace, CHILDSPACE_SIZE - 1);
    for (DWORD i = 0; i < count; ++i) {
        if (!app.visible[i])
            continue;
        const DEVENTRY& device = devices.table[i];
        WORD id = (WORD)(ID_DEVICE_BASE + i);
        DWORD members = device.chainCount > CHAIN_MAX ? CHAIN_MAX : device.chainCount;
        MENUENTRY* own;
        if (app.ChildOnly) {
            const char* name = members ? device.chain[members - 1].name : device.name;
            own = list.AddString(name, id, ClassBitmapOfDeepestNode(devices, i), DEVNAME_SIZE);
        } else {
            own = list.AddString(device.name, id, ClassBitmapOfDevice(devices, i), DEVNAME_SIZE);
            char indent[INDENT_SIZE] = "";
            size_t indentLength = 0;
            char line[CHAINLINE_SIZE];
            char guid[GUIDTEXT_SIZE];
            for (DWORD h = 0; h < members; ++h) {
                FormatChainLine(line, form, indent, device.chain[h].name);
                HBITMAP bitmap =
                    devices.ReadChainClassGuid(i, h, guid) ? LookupClassBitmap(devices, guid) : 0;
                list.AddString(line, id, bitmap);
                // Deep chains stop indenting rather than run past the prefix.
                if (indentLength + step <= INDENT_SIZE - 1) {
                    memcpy(indent + indentLength, app.ChildSpace, step);
                    indentLength += step;
                    indent[indentLength] = '\0';
                }
            }
        }
        if (device.problem && own)
            own->state = MENU_GRAYED;
        if (app.Separator)
            list.AddSeparator();
    }
    if (shown > 0 && !app.Separator)
        list.AddSeparator();

    for (int k = 0; k < MENU_COMMANDS; ++k) {
        if (k == MENU_COMMANDS - 1)
            list.AddSeparator();
        list.AddString(kMenuCommands[k].text, kMenuCommands[k].id, app.commandBitmaps[k].hbitmap);
    }
}

MENUCHOICE::MENUCHOICE() : shown(0) { memset(devInst, 0, sizeof devInst); }

void MENUCHOICE::Remember(const MENULIST& list, const CCFGMGR& devices)
{
    shown = 1;
    memset(devInst, 0, sizeof devInst);
    for (DWORD k = 0; k < list.count; ++k) {
        const MENUENTRY& e = list.entries[k];
        DWORD i = (DWORD)e.id - ID_DEVICE_BASE;
        if (e.kind == MENU_STRING && e.id >= ID_DEVICE_BASE && i < MAX_TABLE && devices.table &&
            i < devices.count)
            devInst[i] = devices.table[i].devInst;
    }
}

DWORD ResolveDeviceCommand(const MENUCHOICE& menu, const CCFGMGR& devices, DWORD i)
{
    DWORD n = devices.table ? devices.count : 0;
    if (i >= MAX_TABLE)
        return 0;
    DWORD listed = menu.shown ? menu.devInst[i] : 0;
    // Until a rescan runs, record i still holds what the menu listed, and
    // an id the menu did not list means what its index says.
    if (!listed || (i < n && devices.table[i].devInst == listed))
        return i < n ? devices.table[i].devInst : 0;
    // A rescan ran while the menu was open (its modal loop runs device
    // broadcasts): the choice means the device the menu showed, wherever
    // it now sits, or nothing once it is gone.
    for (DWORD k = 0; k < n; ++k)
        if (devices.table[k].devInst == listed)
            return listed;
    return 0;
}
