// A small Windows program the end-to-end scripts run beside vantrel.exe, in
// the same Wine prefix, to do what a user, the system or another program
// would: send it messages, hold its lock, read and answer its message boxes.
#include <windows.h>
#include <dbt.h>
#include <psapi.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/ids.h"
#include "devices/cfgmgr.h"

namespace {

unsigned long Num(const char* text) { return strtoul(text, 0, 0); }

// Argument K as a number, FALLBACK when there is none.
unsigned long Arg(int argc, char** argv, int k, unsigned long fallback)
{
    return argc > k ? Num(argv[k]) : fallback;
}

HWND AppWindow() { return FindWindowA(APP_NAME, APP_NAME); }

DWORD AppProcessId()
{
    DWORD pid = 0;
    GetWindowThreadProcessId(AppWindow(), &pid);
    return pid;
}

HANDLE OpenApp(DWORD access)
{
    DWORD pid = AppProcessId();
    return pid ? OpenProcess(access, FALSE, pid) : 0;
}

// Starts APP with LINE (CreateProcessA may write to it).
bool Start(const char* app, char* line, PROCESS_INFORMATION& process)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(app, line, 0, 0, FALSE, 0, 0, 0, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    return true;
}

// Starts APP with LINE, waits for it and returns its exit code; 125 when it
// could not start.
int RunAndWait(const char* app, char* line)
{
    PROCESS_INFORMATION process;
    if (!Start(app, line, process))
        return 125;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 124;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return (int)code;
}

// The window, once there (or, with !present, 1 once it is gone); 0 after SECONDS.
HWND WaitWindow(const char* className, const char* title, unsigned seconds, bool present = true)
{
    for (unsigned tick = 0; tick <= seconds * 10; ++tick) {
        HWND window = FindWindowA(className, title);
        if ((window != 0) == present)
            return present ? window : (HWND)1;
        Sleep(100);
    }
    return 0;
}

// Prints the text of the program's error box after PREFIX and presses OK
// until the box is gone. A box still coming up (settle) gets up to five
// seconds for its text to be there.
int AnswerBox(HWND box, const char* prefix, bool settle = false)
{
    if (!box)
        return 1;
    char text[256] = "";
    for (int tick = 0; tick < (settle ? 50 : 1) && !text[0]; ++tick) {
        Sleep(settle ? 100 : 0);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    }
    printf("%s%s\n", prefix, text);
    for (int tick = 0; tick < 50 && IsWindow(box); ++tick) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        Sleep(100);
    }
    return 0;
}

int Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result)) {
        fprintf(stderr, "probe: no answer\n");
        return 2;
    }
    printf("%ld\n", (long)result);
    return 0;
}

// COUNT times ONCE, as fast as it goes; 2 at the first that fails.
template <class Once>
int Times(const char* count, Once once)
{
    for (unsigned long k = 0, n = Num(count); k < n; ++k)
        if (!once())
            return 2;
    return 0;
}

// A window of a class of its own, and the loop that serves it.
HWND MakeWindow(const char* className, const char* title, WNDPROC proc)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(0);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowA(className, title, 0, 0, 0, 0, 0, 0, 0, wc.hInstance, 0);
}

void Serve()
{
    MSG msg;
    while (GetMessageA(&msg, 0, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- The popup menu: find it, drive it with keys, time a press on the
// tray icon, and a floor program with a plain menu to time beside it.

HWND VisibleMenu()
{
    HWND menu = 0;
    while ((menu = FindWindowExA(0, menu, "#32768", 0)) != 0)
        if (IsWindowVisible(menu))
            return menu;
    return 0;
}

bool WaitMenu(bool open, unsigned ms)
{
    for (unsigned waited = 0;; waited += 5) {
        if ((VisibleMenu() != 0) == open)
            return true;
        if (waited >= ms)
            return false;
        Sleep(5);
    }
}

void Press(int x, int y, bool right = false)
{
    SetCursorPos(x, y);
    mouse_event(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// The menu's modal loop reads its owner thread's queue, so keys posted to
// the menu window reach it whichever window has the focus.
bool Key(WORD vk, unsigned settleMs = 150)
{
    HWND menu = VisibleMenu();
    if (!menu)
        return false;
    PostMessageA(menu, WM_KEYDOWN, vk, 1);
    PostMessageA(menu, WM_KEYUP, vk, 0xC0000001);
    Sleep(settleMs);
    return true;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(f.QuadPart);
}

const char kFloorClass[] = "VANTRELFLOOR";
UINT g_floorItems = 0;

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 1 && (lParam == WM_LBUTTONDOWN || lParam == WM_RBUTTONDOWN)) {
        HMENU menu = CreatePopupMenu();
        char text[32];
        for (UINT k = 0; k < g_floorItems; ++k) {
            snprintf(text, sizeof text, "Removable Device %02u", k % 100);
            AppendMenuA(menu, MF_STRING, ID_DEVICE_BASE + (k % MAX_TABLE), text);
        }
        POINT cursor;
        GetCursorPos(&cursor);
        SetForegroundWindow(window);
        TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, 0);
        DestroyMenu(menu);
        PostMessageA(window, WM_NULL, 0, 0);
        return 0;
    }
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A tray icon whose press opens a plain text menu of n items, no bitmaps,
// no device calls: what any menu costs under this system.
int FloorMenu(UINT items)
{
    g_floorItems = items;
    HWND window = MakeWindow(kFloorClass, kFloorClass, FloorProc);
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = window;
    nid.uID = 1;
    nid.uFlags = NIF_MESSAGE | NIF_ICON;
    nid.uCallbackMessage = WM_APP + 1;
    nid.hIcon = LoadIconA(0, IDI_APPLICATION);
    Shell_NotifyIconA(NIM_ADD, &nid);
    Serve();
    Shell_NotifyIconA(NIM_DELETE, &nid);
    DestroyWindow(window);
    return 0;
}

// Presses the tray icon n times and prints the median, least and most time
// until the menu is on screen; the menu is closed between presses. The
// buttons take turns: two presses of one button this close together would
// make a double-click, which opens no menu.
int PressTime(int x, int y, unsigned n)
{
    std::vector<double> times;
    Sleep(GetDoubleClickTime() + 100);  // the press before this run
    for (unsigned k = 0; k < n; ++k) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        Press(x, y, k % 2 != 0);
        bool open = WaitMenu(true, 20000);
        QueryPerformanceCounter(&end);
        if (!open) {
            fprintf(stderr, "probe: press %u opened no menu\n", k);
            break;
        }
        times.push_back(Milliseconds(start, end));
        Key(VK_ESCAPE, 0);
        if (!WaitMenu(false, 5000)) {
            fprintf(stderr, "probe: menu %u did not close\n", k);
            break;
        }
        Sleep(50);
    }
    unsigned done = (unsigned)times.size();
    if (!done)
        return 1;
    std::sort(times.begin(), times.end());
    printf("presses %u median %.1f ms min %.1f max %.1f\n", done, times[done / 2], times[0],
           times[done - 1]);
    return done == n ? 0 : 1;
}

// A notification area of our own: Shell_NotifyIcon sends its request to the
// first "Shell_TrayWnd" window, as WM_COPYDATA with the NIM_ code in dwData,
// and returns the answer. Refuses the first n adds, prints one line per
// request and ends at the first removal or after the given seconds.
unsigned g_addsToRefuse = 0;

LRESULT CALLBACK StandInTrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        DWORD code = (DWORD)((const COPYDATASTRUCT*)lParam)->dwData;
        bool refuse = code == NIM_ADD && g_addsToRefuse > 0;
        g_addsToRefuse -= refuse;
        printf("%lu %s\n", (unsigned long)code, refuse ? "refused" : "taken");
        if (code == NIM_DELETE) {  // the real one answers whatever comes next
            DestroyWindow(window);
            PostQuitMessage(0);
        }
        return !refuse;
    }
    if (message == WM_TIMER)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int StandInTray(unsigned refuse, unsigned seconds)
{
    g_addsToRefuse = refuse;
    HWND window = MakeWindow("Shell_TrayWnd", "stand-in", StandInTrayProc);
    if (!window || FindWindowA("Shell_TrayWnd", 0) != window)
        return 1;
    SetTimer(window, 1, seconds * 1000, 0);
    printf("up\n");
    Serve();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, 0, _IONBF, 0);
    _setmode(_fileno(stdout), _O_BINARY);  // plain "\n" for the scripts
    if (argc < 2) {
        fprintf(stderr, "usage: probe command [args]\n");
        return 2;
    }
    const char* command = argv[1];

    if (!strcmp(command, "menu-wait") || !strcmp(command, "menu-gone"))
        return WaitMenu(!strcmp(command, "menu-wait"), Arg(argc, argv, 2, 10) * 1000) ? 0 : 1;
    if (!strcmp(command, "menu-keys")) {  // down, up, return, escape
        for (int k = 2; k < argc; ++k) {
            WORD vk = !strcmp(argv[k], "down")     ? VK_DOWN
                      : !strcmp(argv[k], "up")     ? VK_UP
                      : !strcmp(argv[k], "return") ? VK_RETURN
                                                   : VK_ESCAPE;
            if (!Key(vk))
                return 1;
        }
        return 0;
    }
    if (!strcmp(command, "press-time") && argc > 4)
        return PressTime((int)Num(argv[2]), (int)Num(argv[3]), Num(argv[4]));
    if (!strcmp(command, "floor-menu") && argc > 2)
        return FloorMenu(Num(argv[2]));
    if (!strcmp(command, "stand-in-tray") && argc > 3)
        return StandInTray(Num(argv[2]), Num(argv[3]));
    if (!strcmp(command, "floor-stop")) {
        HWND floor = FindWindowA(kFloorClass, kFloorClass);
        return floor && PostMessageA(floor, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (!strcmp(command, "gui-objects")) {  // GDI and USER objects of vantrel.exe
        HANDLE process = OpenApp(PROCESS_QUERY_INFORMATION);
        if (!process)
            return 1;
        printf("gdi %lu user %lu\n", (unsigned long)GetGuiResources(process, GR_GDIOBJECTS),
               (unsigned long)GetGuiResources(process, GR_USEROBJECTS));
        CloseHandle(process);
        return 0;
    }
    if (!strcmp(command, "keep")) {
        // Brings up the desktop and keeps it: Wine starts the desktop
        // process for the first window made, and it keeps that process's
        // output handles, so this must come first, with quiet ones.
        HWND window = CreateWindowA("STATIC", "keeper", 0, 0, 0, 0, 0, 0, 0, 0, 0);
        Sleep(argc > 2 ? Num(argv[2]) * 1000 : INFINITE);
        if (window)
            DestroyWindow(window);
        return 0;
    }
    if (!strcmp(command, "hold-mutex") && argc > 3) {
        HANDLE mutex = CreateMutexA(0, FALSE, argv[2]);
        printf(mutex ? "held\n" : "failed\n");
        Sleep(Num(argv[3]) * 1000);
        CloseHandle(mutex);
        return 0;
    }
    if (!strcmp(command, "mutex-exists") && argc > 2) {
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, argv[2]);
        return mutex && CloseHandle(mutex) ? 0 : 1;
    }
    if ((!strcmp(command, "run") || !strcmp(command, "run-exact")) && argc > 3) {
        // Starts APP with exactly this command-line tail, as a shortcut or a
        // script would, and returns its exit code. With run-exact the line is
        // the whole command line, name included, so a script controls quoting
        // and the bytes of the program's own name.
        char line[4096];
        if (!strcmp(command, "run-exact"))
            snprintf(line, sizeof line, "%s", argv[3]);
        else
            snprintf(line, sizeof line, "\"%s\" %s", argv[2], argv[3]);
        return RunAndWait(argv[2], line);
    }
    if (!strcmp(command, "start-many") && argc > 4) {
        // Starts N plain instances of APP at once and answers every error
        // box until all but one have ended. Prints one line per box text,
        // then "ended=E code0=Z boxes=B resident=R" (R: 1 when the one left
        // is the process behind the program's window).
        const int most = 32;
        int n = (int)Num(argv[2]);
        if (n < 1 || n > most)
            return 2;
        unsigned seconds = Num(argv[4]);
        PROCESS_INFORMATION processes[most];
        int done[most] = {0};
        char line[1024];
        snprintf(line, sizeof line, "\"%s\"", argv[3]);
        for (int k = 0; k < n; ++k)
            if (!Start(argv[3], line, processes[k]))
                return 125;
        int ended = 0, zero = 0, boxes = 0;
        for (unsigned tick = 0; tick < seconds * 20 && ended < n - 1; ++tick) {
            boxes += !AnswerBox(FindWindowA("#32770", ERROR_CAPTION), "box: ");
            for (int k = 0; k < n; ++k) {
                DWORD code = 0;
                if (done[k] || WaitForSingleObject(processes[k].hProcess, 0) != WAIT_OBJECT_0)
                    continue;
                done[k] = 1;
                ++ended;
                GetExitCodeProcess(processes[k].hProcess, &code);
                zero += code == 0;
            }
            Sleep(50);
        }
        DWORD owner = AppProcessId();
        int resident = 0;
        for (int k = 0; k < n; ++k) {
            resident += !done[k] && processes[k].dwProcessId == owner;
            CloseHandle(processes[k].hProcess);
        }
        printf("ended=%d code0=%d boxes=%d resident=%d\n", ended, zero, boxes, resident);
        return 0;
    }
    if (!strcmp(command, "regraw") && argc > 5) {
        // Stores FILE's bytes exactly as value NAME of type TYPE under
        // HKCU\KEY, with no terminator added: the byte after the data is not
        // zero, which is what makes the registry add one.
        FILE* in = fopen(argv[5], "rb");
        if (!in)
            return 2;
        static char data[(1 << 20) + 2];
        size_t got = fread(data, 1, sizeof data - 1, in);
        fclose(in);
        data[got] = 'X';
        HKEY key = 0;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, argv[2], 0, 0, 0, KEY_ALL_ACCESS, 0, &key, 0))
            return 2;
        LONG rc = RegSetValueExA(key, argv[3], 0, Num(argv[4]), (const BYTE*)data, (DWORD)got);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS ? 0 : 2;
    }
    if (!strcmp(command, "mem")) {
        // The program's memory and handles, as Task Manager would show them.
        HANDLE process = OpenApp(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE);
        if (!process)
            return 3;
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        BOOL ok = K32GetProcessMemoryInfo(process, &counters, sizeof counters);
        // Wine counts no handles of another process: count the values that
        // can be duplicated out of it.
        DWORD handles = 0;
        for (ULONG_PTR v = 4; v < 0x8000; v += 4) {
            HANDLE copy;
            if (DuplicateHandle(process, (HANDLE)v, GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_SAME_ACCESS))
                handles += CloseHandle(copy);
        }
        CloseHandle(process);
        if (!ok)
            return 2;
        printf("private=%lu ws=%lu handles=%lu\n", (unsigned long)counters.PagefileUsage,
               (unsigned long)counters.WorkingSetSize, (unsigned long)handles);
        return 0;
    }
    if (!strcmp(command, "wait-window") || !strcmp(command, "wait-gone"))
        return !WaitWindow(APP_NAME, APP_NAME, Arg(argc, argv, 2, 30),
                           !strcmp(command, "wait-window"));
    if (!strcmp(command, "msgbox"))  // prints the text of the program's error box and presses OK
        return AnswerBox(WaitWindow("#32770", ERROR_CAPTION, Arg(argc, argv, 2, 30)), "", true);

    HWND window = AppWindow();
    if (!window) {
        fprintf(stderr, "probe: no window\n");
        return 3;
    }
    if (!strcmp(command, "send") && argc > 4)
        return Send(window, Num(argv[2]), Num(argv[3]), Num(argv[4]));
    if (!strcmp(command, "post") && argc > 4)
        return PostMessageA(window, Num(argv[2]), Num(argv[3]), Num(argv[4])) ? 0 : 2;
    if (!strcmp(command, "command") && argc > 2)
        return PostMessageA(window, WM_COMMAND, Num(argv[2]), 0) ? 0 : 2;
    // Broadcasts with bit 15 set carry a header and must be sent, not posted.
    DEV_BROADCAST_HDR header = {};
    header.dbch_size = sizeof header;
    header.dbch_devicetype = DBT_DEVTYP_OEM;
    if (!strcmp(command, "arrival"))
        return Send(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, (LPARAM)&header);
    if (!strcmp(command, "removal"))
        return Send(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, (LPARAM)&header);
    // A burst of device-tree change broadcasts, each sent as the system
    // sends it; the program queues one rescan for each.
    if (!strcmp(command, "devchange-times") && argc > 2)
        return Times(argv[2], [=] {
            return SendMessageTimeoutA(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0,
                                       SMTO_ABORTIFHUNG, 10000, 0);
        });
    if (!strcmp(command, "command-times") && argc > 3)  // as N second starts post it
        return Times(argv[3], [=] { return PostMessageA(window, WM_COMMAND, Num(argv[2]), 0); });
    if (!strcmp(command, "resume-times") && argc > 2)  // many refreshes, quickly
        return Times(argv[2], [=] {
            return SendMessageA(window, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0) == 1;
        });
    if (!strcmp(command, "taskbar-created"))
        return Send(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    fprintf(stderr, "probe: unknown command %s\n", command);
    return 2;
}
