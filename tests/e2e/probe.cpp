// A small Windows program the end-to-end scripts run beside vantrel.exe, in
// the same Wine prefix, to do what a user, the system or another program
// would: send it messages, hold its lock, read and answer its message boxes.
#include <windows.h>
#include <dbt.h>
#include <psapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/ids.h"

namespace {

unsigned long Num(const char* text)
{
    return strtoul(text, 0, 0);
}

HWND WaitWindow(const char* className, const char* title, unsigned seconds)
{
    for (unsigned tick = 0; tick <= seconds * 10; ++tick) {
        HWND window = FindWindowA(className, title);
        if (window)
            return window;
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
        if (mutex)
            CloseHandle(mutex);
        return mutex ? 0 : 1;
    }
    if (!strcmp(command, "run") && argc > 3) {
        // Starts a program with exactly this command-line tail, as a
        // shortcut or a script would, and returns its exit code.
        char line[4096];
        snprintf(line, sizeof line, "\"%s\" %s", argv[2], argv[3]);
        STARTUPINFOA startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        if (!CreateProcessA(argv[2], line, 0, 0, FALSE, 0, 0, 0, &startup, &process))
            return 125;
        WaitForSingleObject(process.hThread, INFINITE);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 124;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return (int)code;
    }
    // --- hardening: exact command lines and simultaneous starts ---
    if (!strcmp(command, "run-exact") && argc > 3) {
        // Starts APP with LINE as its whole command line, name included, so
        // a script controls quoting and the bytes of the program's own name.
        STARTUPINFOA startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        char line[4096];
        snprintf(line, sizeof line, "%s", argv[3]);
        if (!CreateProcessA(argv[2], line, 0, 0, FALSE, 0, 0, 0, &startup, &process))
            return 125;
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 124;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return (int)code;
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
        HANDLE processes[most];
        DWORD ids[most];
        int done[most] = {0};
        char line[1024];
        snprintf(line, sizeof line, "\"%s\"", argv[3]);
        for (int k = 0; k < n; ++k) {
            STARTUPINFOA startup;
            memset(&startup, 0, sizeof startup);
            startup.cb = sizeof startup;
            PROCESS_INFORMATION process;
            if (!CreateProcessA(argv[3], line, 0, 0, FALSE, 0, 0, 0, &startup, &process))
                return 125;
            CloseHandle(process.hThread);
            processes[k] = process.hProcess;
            ids[k] = process.dwProcessId;
        }
        int ended = 0, zero = 0, boxes = 0;
        for (unsigned tick = 0; tick < seconds * 20 && ended < n - 1; ++tick) {
            HWND box = FindWindowA("#32770", ERROR_CAPTION);
            if (box) {
                char text[256] = "";
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                printf("box: %s\n", text);
                ++boxes;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                for (int wait = 0; wait < 100 && IsWindow(box); ++wait)
                    Sleep(20);
            }
            for (int k = 0; k < n; ++k) {
                DWORD code = 0;
                if (done[k] || WaitForSingleObject(processes[k], 0) != WAIT_OBJECT_0)
                    continue;
                done[k] = 1;
                ++ended;
                GetExitCodeProcess(processes[k], &code);
                zero += code == 0;
            }
            Sleep(50);
        }
        DWORD owner = 0;
        GetWindowThreadProcessId(FindWindowA(APP_NAME, APP_NAME), &owner);
        int resident = 0;
        for (int k = 0; k < n; ++k) {
            resident += !done[k] && ids[k] == owner;
            CloseHandle(processes[k]);
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
    if (!strcmp(command, "devchange-times") && argc > 2) {
        // A burst of device-tree change broadcasts, each sent as the system
        // sends it; the program queues one rescan for each.
        HWND target = FindWindowA(APP_NAME, APP_NAME);
        for (unsigned long k = 0, n = Num(argv[2]); k < n; ++k)
            if (!target || !SendMessageTimeoutA(target, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0,
                                                SMTO_ABORTIFHUNG, 10000, 0))
                return 2;
        return 0;
    }
    if (!strcmp(command, "command-times") && argc > 3) {
        // The same command N times in a row, as N second starts post it.
        HWND target = FindWindowA(APP_NAME, APP_NAME);
        for (unsigned long k = 0, n = Num(argv[3]); k < n; ++k)
            if (!target || !PostMessageA(target, WM_COMMAND, Num(argv[2]), 0))
                return 2;
        return 0;
    }
    if (!strcmp(command, "mem")) {
        // The program's memory and handles, as Task Manager would show them.
        DWORD pid = 0;
        GetWindowThreadProcessId(FindWindowA(APP_NAME, APP_NAME), &pid);
        HANDLE process = pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : 0;
        if (!process)
            return 3;
        PROCESS_MEMORY_COUNTERS counters;
        memset(&counters, 0, sizeof counters);
        counters.cb = sizeof counters;
        DWORD handles = 0;
        BOOL ok = K32GetProcessMemoryInfo(process, &counters, sizeof counters) &&
                  GetProcessHandleCount(process, &handles);
        CloseHandle(process);
        if (!ok)
            return 2;
        printf("private=%lu ws=%lu handles=%lu\n", (unsigned long)counters.PagefileUsage,
               (unsigned long)counters.WorkingSetSize, (unsigned long)handles);
        return 0;
    }
    if (!strcmp(command, "msgbox-settled") && argc > 2) {
        // Like msgbox, for a box that may be still coming up: waits until
        // its text is there before pressing OK, then until it is gone.
        HWND box = 0;
        for (unsigned long tick = 0, n = Num(argv[2]) * 10; !box && tick <= n; ++tick) {
            box = FindWindowA("#32770", ERROR_CAPTION);
            if (!box && tick < n)
                Sleep(100);
        }
        if (!box)
            return 1;
        char text[256] = "";
        for (int tick = 0; tick < 50 && !text[0]; ++tick) {
            Sleep(100);
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        }
        printf("%s\n", text);
        for (int tick = 0; tick < 50 && IsWindow(box); ++tick) {
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            Sleep(100);
        }
        return 0;
    }
    // --- end of hardening block ---
    if (!strcmp(command, "wait-window")) {
        return WaitWindow(APP_NAME, APP_NAME, argc > 2 ? Num(argv[2]) : 30) ? 0 : 1;
    }
    if (!strcmp(command, "wait-gone")) {
        unsigned seconds = argc > 2 ? Num(argv[2]) : 30;
        for (unsigned tick = 0; tick <= seconds * 10; ++tick) {
            if (!FindWindowA(APP_NAME, APP_NAME))
                return 0;
            Sleep(100);
        }
        return 1;
    }
    if (!strcmp(command, "msgbox")) {
        // Prints the text of the program's error box and presses OK.
        HWND box = WaitWindow("#32770", ERROR_CAPTION, argc > 2 ? Num(argv[2]) : 30);
        if (!box)
            return 1;
        char text[256] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
        printf("%s\n", text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }

    HWND window = FindWindowA(APP_NAME, APP_NAME);
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
    DEV_BROADCAST_HDR header;
    memset(&header, 0, sizeof header);
    header.dbch_size = sizeof header;
    header.dbch_devicetype = DBT_DEVTYP_OEM;
    if (!strcmp(command, "arrival"))
        return Send(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, (LPARAM)&header);
    if (!strcmp(command, "removal"))
        return Send(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, (LPARAM)&header);
    if (!strcmp(command, "resume-times") && argc > 2) {  // many refreshes, quickly
        unsigned long n = Num(argv[2]);
        for (unsigned long k = 0; k < n; ++k)
            if (SendMessageA(window, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0) != 1)
                return 2;
        return 0;
    }
    if (!strcmp(command, "taskbar-created"))
        return Send(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    fprintf(stderr, "probe: unknown command %s\n", command);
    return 2;
}
