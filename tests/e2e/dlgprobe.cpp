// Reads and works another process's dialogs for the end-to-end scripts:
// the controls of a dialog found by its caption, in creation order, with
// their rectangles in dialog units, list and combo lines, clicks, typed
// text, and a file's own version strings to compare the About box with.
//
// MapDialogRect works only on a dialog of the calling process, so the
// base units come from a hidden dialog of this helper's own, made with
// the same font.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

unsigned long Num(const char* text) { return strtoul(text, 0, 0); }
int Say(const std::string& line) { return printf("%s\n", line.c_str()) < 0; }

struct Found {
    const char* title;
    std::vector<HWND> windows;
};

BOOL CALLBACK Collect(HWND window, LPARAM arg)
{
    Found& f = *(Found*)arg;
    char cls[64] = "", title[256] = "";
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, title, sizeof title);
    if (!strcmp(cls, "#32770") && !strcmp(title, f.title) && IsWindowVisible(window))
        f.windows.push_back(window);
    return TRUE;
}

std::vector<HWND> Dialogs(const char* title)
{
    Found f = {title, {}};
    EnumWindows(Collect, (LPARAM)&f);
    return f.windows;
}

// The first dialog with this title once there (or, with !present, 1 once
// none is); 0 after SECONDS.
HWND WaitDialog(const char* title, unsigned seconds, bool present = true)
{
    for (unsigned tick = 0; tick <= seconds * 10; ++tick, Sleep(100)) {
        std::vector<HWND> found = Dialogs(title);
        if (found.empty() != present)
            return present ? found[0] : (HWND)1;
    }
    return 0;
}

std::string Text(HWND window)
{
    char text[1024] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, 0);
    return text;
}

// A dialog template in memory: DS_SETFONT with the given face and size,
// no controls.
INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void BaseUnits(const char* face, int points, int& bx, int& by)
{
    WORD buffer[128];
    memset(buffer, 0, sizeof buffer);
    DLGTEMPLATE* t = (DLGTEMPLATE*)buffer;
    t->style = WS_POPUP | DS_SETFONT;
    t->cx = 100;
    t->cy = 100;
    WORD* p = (WORD*)(t + 1);
    p += 3;  // no menu, the standard class, no caption
    *p++ = (WORD)points;
    MultiByteToWideChar(CP_ACP, 0, face, -1, (WCHAR*)p, 32);
    HWND own = CreateDialogIndirectA(GetModuleHandleA(0), t, 0, Quiet);
    RECT r = {0, 0, 4, 8};
    MapDialogRect(own, &r);
    bx = r.right;
    by = r.bottom;
    DestroyWindow(own);
}

// The dialog units that map to these pixels, or -1 when none does.
int Units(int pixels, int base, int per)
{
    for (int du = -1000; du <= 1000; ++du)
        if (MulDiv(du, base, per) == pixels)
            return du;
    return -1;
}

int Controls(HWND dialog, const char* face, int points)
{
    int bx = 0, by = 0;
    BaseUnits(face, points, bx, by);
    if (!bx || !by)
        return 1;
    RECT client;
    GetClientRect(dialog, &client);
    printf("dialog %s style=0x%08lx exstyle=0x%08lx client=%dx%d\n", Text(dialog).c_str(),
           GetWindowLongA(dialog, GWL_STYLE), GetWindowLongA(dialog, GWL_EXSTYLE),
           Units(client.right, bx, 4), Units(client.bottom, by, 8));
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(c, cls, sizeof cls);
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(0, dialog, (POINT*)&r, 2);
        LONG style = GetWindowLongA(c, GWL_STYLE);
        printf("%d|%s|%s|0x%08lx|0x%lx|%d,%d|%dx%d\n", (short)GetDlgCtrlID(c), cls, Text(c).c_str(),
               style, GetWindowLongA(c, GWL_EXSTYLE), Units(r.left, bx, 4), Units(r.top, by, 8),
               Units(r.right - r.left, bx, 4), Units(r.bottom - r.top, by, 8));
    }
    return 0;
}

// Wide messages: Wine hands an ANSI LB_GETTEXT from another process back
// in UTF-16.
int Lines(HWND control, bool combo)
{
    UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT;
    UINT length = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT get = combo ? CB_GETLBTEXT : LB_GETTEXT;
    int n = (int)SendMessageW(control, count, 0, 0);
    for (int i = 0; i < n; ++i) {
        std::wstring wide(SendMessageW(control, length, i, 0) + 1, L'\0');
        SendMessageW(control, get, i, (LPARAM)&wide[0]);
        char text[1024] = "";
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, 0, 0);
        printf("%s\n", text);
    }
    return n < 0;
}

// A string or ordinal field of a dialog template; moves p past it.
std::string Field(const WORD*& p)
{
    static const char* const atoms[] = {"Button",  "Edit",      "Static",
                                        "ListBox", "ScrollBar", "ComboBox"};
    if (*p == 0xFFFF) {
        WORD ordinal = p[1];
        p += 2;
        if (ordinal >= 0x80 && ordinal <= 0x85)
            return atoms[ordinal - 0x80];
        return "#" + std::to_string(ordinal);
    }
    char text[512] = "";
    WideCharToMultiByte(CP_ACP, 0, (const WCHAR*)p, -1, text, sizeof text, 0, 0);
    while (*p++)
        ;
    return text;
}

const WORD* AlignDword(const WORD* p) { return (const WORD*)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3); }

// The dialog template as the file holds it, in the same lines as the live
// dialog's (DLGTEMPLATE form, which the resource script writes).
int Template(const char* path, int id)
{
    HMODULE file = LoadLibraryExA(path, 0, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = file ? FindResourceA(file, MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG) : 0;
    const DLGTEMPLATE* t = found ? (const DLGTEMPLATE*)LockResource(LoadResource(file, found)) : 0;
    if (!t)
        return 1;
    const WORD* p = (const WORD*)(t + 1);
    std::string menu = Field(p), cls = Field(p), caption = Field(p);
    std::string font;
    if (t->style & DS_SETFONT) {
        int points = *p++;
        font = std::to_string(points) + "," + Field(p);
    }
    printf("dialog %s style=0x%08lx exstyle=0x%08lx at=%d,%d size=%dx%d font=%s menu=%s class=%s\n",
           caption.c_str(), t->style, t->dwExtendedStyle, t->x, t->y, t->cx, t->cy, font.c_str(),
           menu.c_str(), cls.c_str());
    for (int k = 0; k < t->cdit; ++k) {
        const DLGITEMTEMPLATE* item = (const DLGITEMTEMPLATE*)AlignDword(p);
        p = (const WORD*)(item + 1);
        std::string itemClass = Field(p), text = Field(p);
        WORD extra = *p++;
        p = (const WORD*)((const BYTE*)p + extra);
        printf("%d|%s|%s|0x%08lx|0x%lx|%d,%d|%dx%d\n", (short)item->id, itemClass.c_str(),
               text.c_str(), item->style, item->dwExtendedStyle, item->x, item->y, item->cx,
               item->cy);
    }
    return 0;
}

std::string VersionString(void* block, const char* name)
{
    WORD* pair = 0;
    UINT size = 0;
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", (void**)&pair, &size) || size < 4)
        return "(none)";
    char query[128];
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", pair[0], pair[1], name);
    char* value = 0;
    return VerQueryValueA(block, query, (void**)&value, &size) && value ? value : "(none)";
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, 0, _IONBF, 0);
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 3) {
        fprintf(stderr, "usage: dlgprobe command title [args]\n");
        return 2;
    }
    const char* command = argv[1];
    const char* title = argv[2];

    if (!strcmp(command, "version")) {  // title is a file path here
        DWORD handle = 0, size = GetFileVersionInfoSizeA(title, &handle);
        std::vector<char> block(size + 1);
        if (!size || !GetFileVersionInfoA(title, handle, size, block.data()))
            return 1;
        for (const char* name : {"FileDescription", "FileVersion", "LegalCopyright"})
            Say(VersionString(block.data(), name));
        return 0;
    }
    if (!strcmp(command, "template") && argc > 3)  // title is a file path here
        return Template(title, (int)Num(argv[3]));
    if (!strcmp(command, "count"))
        return Say(std::to_string(Dialogs(title).size()));
    unsigned seconds = argc > 3 ? Num(argv[3]) : 10;  // for wait and gone
    if (!strcmp(command, "gone"))
        return !WaitDialog(title, seconds, false);

    HWND dialog = WaitDialog(title, !strcmp(command, "wait") ? seconds : 10);
    if (!dialog) {
        fprintf(stderr, "dlgprobe: no dialog \"%s\"\n", title);
        return 3;
    }
    if (!strcmp(command, "wait"))
        return 0;
    if (!strcmp(command, "controls") && argc > 4)
        return Controls(dialog, argv[3], (int)Num(argv[4]));
    if (!strcmp(command, "owner"))
        return Say(Text(GetWindow(dialog, GW_OWNER)));
    if (argc < 4) {
        fprintf(stderr, "dlgprobe: %s needs a control id\n", command);
        return 2;
    }
    HWND control = GetDlgItem(dialog, (int)Num(argv[3]));
    if (!control) {
        fprintf(stderr, "dlgprobe: no control %s\n", argv[3]);
        return 3;
    }
    if (!strcmp(command, "text"))
        return Say(Text(control));
    if (!strcmp(command, "lines"))
        return Lines(control, false);
    if (!strcmp(command, "items"))
        return Lines(control, true);
    if (!strcmp(command, "selected") || !strcmp(command, "checked"))
        return Say(std::to_string(
            (long)SendMessageA(control, command[0] == 's' ? LB_GETCURSEL : BM_GETCHECK, 0, 0)));
    // Clicks are posted: a click that opens or ends a modal loop would
    // otherwise keep this helper waiting.
    if (!strcmp(command, "click"))
        return PostMessageA(control, BM_CLICK, 0, 0) ? 0 : 2;
    if (!strcmp(command, "settext") && argc > 4)
        return SendMessageA(control, WM_SETTEXT, 0, (LPARAM)argv[4]) ? 0 : 2;
    if (!strcmp(command, "dropdown"))
        return PostMessageA(control, CB_SHOWDROPDOWN, TRUE, 0) ? 0 : 2;
    if (!strcmp(command, "dblclick") && argc > 4) {
        // Selects a line, then tells the dialog what a double-click on it
        // tells it.
        SendMessageA(control, LB_SETCURSEL, (WPARAM)(int)strtol(argv[4], 0, 0), 0);
        WPARAM what = MAKEWPARAM(GetDlgCtrlID(control), LBN_DBLCLK);
        return PostMessageA(dialog, WM_COMMAND, what, (LPARAM)control) ? 0 : 2;
    }
    fprintf(stderr, "dlgprobe: unknown command %s\n", command);
    return 2;
}
