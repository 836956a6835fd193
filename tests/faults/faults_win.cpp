// The fault switch of the test build: the failures VANTREL_FAULT picks and
// how they are reported are in tests/README.md, "Fault build".
#include "tests/faults/faults.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#undef RegCreateKeyExA
#undef Shell_NotifyIconA

namespace {

char g_fault[128];
bool g_read;
unsigned long g_allocations;

const char* Fault()
{
    if (!g_read) {
        g_read = true;
        DWORD got = GetEnvironmentVariableA("VANTREL_FAULT", g_fault, sizeof g_fault);
        if (got >= sizeof g_fault)
            g_fault[0] = 0;
    }
    return g_fault;
}

void Report(const char* what, const char* detail)
{
    char line[256];
    snprintf(line, sizeof line, "VANTREL-FAULT: %s %s\n", what, detail);
    OutputDebugStringA(line);
}

void* Allocate(size_t size)
{
    ++g_allocations;
    const char* f = Fault();
    if (!strncmp(f, "new:", 4) && strtoul(f + 4, 0, 10) == g_allocations) {
        char detail[64];
        snprintf(detail, sizeof detail, "%lu (%lu bytes)", g_allocations, (unsigned long)size);
        Report("new", detail);
        return 0;
    }
    return malloc(size ? size : 1);
}

}  // namespace

void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }

LONG WINAPI FaultRegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR cls, DWORD options,
                                 REGSAM access, LPSECURITY_ATTRIBUTES sa, PHKEY result,
                                 LPDWORD disposition)
{
    const char* f = Fault();
    if (!strncmp(f, "regkey:", 7) && subKey && strstr(subKey, f + 7)) {
        Report("regkey", subKey);
        return ERROR_ACCESS_DENIED;
    }
    return RegCreateKeyExA(key, subKey, reserved, cls, options, access, sa, result, disposition);
}

BOOL WINAPI FaultShell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data)
{
    if (!strcmp(Fault(), "notify")) {
        Report("notify", message == NIM_ADD ? "add" : message == NIM_DELETE ? "delete" : "modify");
        return FALSE;
    }
    return Shell_NotifyIconA(message, data);
}
