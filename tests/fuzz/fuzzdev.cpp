// Fuzz input decoded into a tree for the fake device stack (fakedev.cpp):
// any parent links (loops included), any status, and names of any length.
// The stack always hands a name back with its terminator; a name marked
// unterminated here loses it on the way to the program (the property read
// is wrapped at link time, see CMakeLists.txt).
#include "tests/fuzz/fuzzdev.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "tests/fakedev/fakedev.h"

namespace {

std::set<std::pair<DEVINST, ULONG>> g_unterminated;
const ULONG kProperties[3] = {CM_DRP_FRIENDLYNAME, CM_DRP_DEVICEDESC, CM_DRP_CLASSGUID};

// The bytes as a field of the tree format, same length: no bar or line
// break, no blank at either end (fields are trimmed), not "-" (absent) and
// not "~N" (N letters).
std::string Field(std::string s)
{
    for (size_t k = 0; k < s.size(); ++k)
        if (strchr("|\n\r", s[k]) || ((k == 0 || k + 1 == s.size()) && strchr(" \t-~", s[k])))
            s[k] = '_';
    return s;
}

}  // namespace

void FuzzDev_Load(const uint8_t* data, size_t size)
{
    Reader in = {data, size};
    g_unterminated.clear();
    std::string tree;
    unsigned count = in.Byte() % 40;
    for (unsigned id = 1; id <= count; ++id) {
        unsigned parent = in.Byte() % (count + 1);
        uint8_t flags = in.Byte();
        DWORD status = (flags & 1 ? DN_REMOVABLE : 0) | (flags & 2 ? DN_DISABLEABLE : 0) | 0x180;
        unsigned problem = flags & 0x10 ? in.Byte() : 0;
        char head[64];
        snprintf(head, sizeof head, "%u|%u|0x%lx|%u", id, parent,
                 (unsigned long)(problem ? status | 0x400 : status), problem);
        std::string props[3];  // class GUID, friendly name, description: the file's order
        for (int p = 0; p < 3; ++p) {
            uint8_t how = in.Byte();
            size_t length = (in.Byte() | (size_t)in.Byte() << 8) % 700;
            props[(p + 1) % 3] = how & 1 ? Field(in.Text(length)) : "-";
            if (how & 2)
                g_unterminated.insert({id, kProperties[p]});
        }
        tree += head + ("|" + props[0] + "|" + props[1] + "|" + props[2]) +
                ((flags & 0x0C) == 0x0C ? "|nostatus\n" : "\n");
    }
    FakeDev_Reset();
    if (!FakeDev_LoadText(tree))
        __builtin_trap();  // a line the fake refuses: this decoder is wrong
}

extern "C" {

CONFIGRET __real_CM_Get_DevNode_Registry_PropertyA(DEVINST, ULONG, PULONG, PVOID, PULONG, ULONG);

// The value without its terminator, for a name marked so.
CONFIGRET __wrap_CM_Get_DevNode_Registry_PropertyA(DEVINST dev, ULONG property, PULONG regType,
                                                   PVOID buffer, PULONG length, ULONG flags)
{
    if (!length || !g_unterminated.count({dev, property}))
        return __real_CM_Get_DevNode_Registry_PropertyA(dev, property, regType, buffer, length,
                                                        flags);
    char value[701];
    ULONG needed = sizeof value;
    CONFIGRET cr =
        __real_CM_Get_DevNode_Registry_PropertyA(dev, property, regType, value, &needed, flags);
    if (cr != CR_SUCCESS)
        return cr;
    --needed;
    if (!buffer || *length < needed) {
        *length = needed;
        return CR_BUFFER_SMALL;
    }
    memcpy(buffer, value, needed);
    *length = needed;
    return CR_SUCCESS;
}

}  // extern "C"
