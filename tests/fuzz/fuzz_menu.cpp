// The device menu over an arbitrary table and arbitrary settings: names
// that fill their fields with or without a terminator, chains longer than a
// record holds, any ChildForm and ChildSpace; then device commands by any id
// after the table moved under the menu.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/appstate.h"
#include "app/ids.h"
#include "tests/fakes/fakewin.h"
#include "tests/fuzz/fuzzdev.h"
#include "tray/devicemenu.h"

namespace {

// A fixed field as a stored text may leave it: up to width + 47 bytes asked
// for (the rest dropped), 'L' once the input runs out, terminated or not.
void Fill(char* field, size_t width, Reader& in)
{
    uint8_t how = in.Byte();
    std::string text = in.Text(in.Word() % (width + 48));
    memset(field, 'L', width);
    memcpy(field, text.data(), text.size() < width ? text.size() : width);
    if (!(how & 1) && text.size() < width)
        field[text.size()] = '\0';
}

std::string Bounded(const char* field, size_t width) { return {field, strnlen(field, width)}; }

// Only "%s" (twice at most) and "%%": then the C library may format it.
bool PlainForm(const std::string& form)
{
    int strings = 0;
    for (size_t k = 0; k < form.size(); ++k) {
        if (form[k] != '%')
            continue;
        if (++k == form.size() || (form[k] != 's' && form[k] != '%'))
            return false;
        strings += form[k] == 's';
    }
    return strings <= 2;
}

const struct {
    const char* text;
    WORD id;
} kTail[5] = {
    {"&Scan", ID_SCAN}, {"&Setup...", ID_SETUP}, {"&About...", ID_ABOUT}, {"", 0},
    {"&Exit", ID_EXIT},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool ready = false;
    if (!ready) {
        FakeWin_Reset();
        ready = CreateAppState((HINSTANCE)0x400000) != 0 && g_app->devices.Create() != 0;
    }
    APPSTATE& app = *g_app;
    CUSBDEV& devices = app.devices;
    Reader in = {data, size};
    uint8_t flags = in.Byte();
    app.Separator = flags & 1;
    app.ChildOnly = (flags >> 1) & 1;
    Fill(app.ChildForm, CHILDFORM_SIZE, in);
    Fill(app.ChildSpace, CHILDSPACE_SIZE, in);
    devices.count = in.Byte() % (MAX_TABLE + 1);
    memset(app.visible, 0, sizeof app.visible);
    for (DWORD i = 0; i < devices.count; ++i) {
        DEVENTRY& e = devices.table[i];
        uint8_t how = in.Byte();
        app.visible[i] = how & 1;
        e.problem = how & 2 ? in.Byte() : 0;
        e.devInst = in.Byte();
        Fill(e.name, DEVNAME_SIZE, in);
        // Past CHAIN_MAX on purpose: the menu must not trust the count.
        e.chainCount = in.Byte() % (CHAIN_MAX + 9);
        for (DWORD c = 0; c < e.chainCount && c < CHAIN_MAX; ++c) {
            e.chain[c].devInst = in.Byte();
            Fill(e.chain[c].name, DEVNAME_SIZE, in);
        }
    }
    // Whatever is left is the tree the class reads answer from.
    FuzzDev_Load(in.p, in.left);

    MENULIST list;
    BuildDeviceMenu(list);
    Check(list.count == list.capacity && list.count >= 5);

    std::string form = Bounded(app.ChildForm, CHILDFORM_SIZE - 1);
    Check(PlainForm(form) == (ChildFormUsable(app.ChildForm) != 0));
    if (!PlainForm(form))
        form = "%s+ %s";
    std::string space = Bounded(app.ChildSpace, CHILDSPACE_SIZE - 1);

    // The menu as it must be, entry by entry.
    DWORD k = 0, shown = 0;
    char expect[CHAINLINE_SIZE];
    for (DWORD i = 0; i < devices.count; ++i) {
        if (!app.visible[i])
            continue;
        ++shown;
        const DEVENTRY& d = devices.table[i];
        const WORD id = (WORD)(ID_DEVICE_BASE + i);
        DWORD members = d.chainCount < CHAIN_MAX ? d.chainCount : CHAIN_MAX;
        DWORD lines = app.ChildOnly ? 1 : 1 + members;
        Check(k + lines <= list.count);
        for (DWORD h = 0; h < lines; ++h) {
            const MENUENTRY& e = list.entries[k + h];
            Check(e.kind == MENU_STRING && e.id == id);
            Check(e.state == (h == 0 && d.problem ? MENU_GRAYED : MENU_ENABLED));
        }
        // The first line shows a whole field: the device's own, or with
        // ChildOnly the last of its chain; chain lines give a name at most
        // 255 characters.
        const char* first = app.ChildOnly && members ? d.chain[members - 1].name : d.name;
        Check(strcmp(list.entries[k].text, Bounded(first, DEVNAME_SIZE).c_str()) == 0);
        if (!app.ChildOnly) {
            std::string indent;
            for (DWORD h = 0; h < members; ++h) {
                if (h > 0 && indent.size() + space.size() <= INDENT_SIZE - 1)
                    indent += space;
                std::string name = Bounded(d.chain[h].name, DEVNAME_SIZE - 1);
                snprintf(expect, sizeof expect, form.c_str(), indent.c_str(), name.c_str());
                Check(strcmp(list.entries[k + 1 + h].text, expect) == 0);
            }
        }
        k += lines;
        if (app.Separator) {
            Check(k < list.count && list.entries[k].kind == MENU_SEPARATOR);
            ++k;
        }
    }
    if (shown && !app.Separator) {
        Check(k < list.count && list.entries[k].kind == MENU_SEPARATOR);
        ++k;
    }
    Check(list.count - k == 5);
    for (DWORD t = 0; t < 5; ++t) {
        const MENUENTRY& e = list.entries[k + t];
        Check(e.kind == (kTail[t].id ? MENU_STRING : MENU_SEPARATOR) && e.id == kTail[t].id &&
              strcmp(e.text, kTail[t].text) == 0);
    }
    for (DWORD j = 0; j < list.count; ++j)
        Check(strnlen(list.entries[j].text, CHAINLINE_SIZE) < CHAINLINE_SIZE);

    // The menu is remembered, then a rescan moves, drops and adds devices
    // while it is open.
    MENUCHOICE menu;
    menu.shown = in.Byte() & 1;
    if (menu.shown)
        menu.Remember(list, devices);
    for (DWORD i = 0; i < MAX_TABLE; ++i)
        Check(!menu.shown ||
              menu.devInst[i] ==
                  (i < devices.count && app.visible[i] ? devices.table[i].devInst : 0));
    devices.count = in.Byte() % (MAX_TABLE + 1);
    for (DWORD i = 0; i < devices.count; ++i)
        devices.table[i].devInst = in.Byte();
    for (int n = 0; n < 8; ++n) {
        DWORD i = in.Word() - ID_DEVICE_BASE;  // any command id, as WM_COMMAND brings it
        DWORD ejects = ResolveDeviceCommand(menu, devices, i);
        bool present = false;
        for (DWORD j = 0; j < devices.count; ++j)
            present |= devices.table[j].devInst == ejects;
        Check(i < MAX_TABLE || ejects == 0);
        Check(ejects == 0 || present);
        Check(ejects == 0 || !menu.shown || !menu.devInst[i] || ejects == menu.devInst[i]);
    }
    return 0;
}
