// The seven device functions answering from a tree decoded straight from
// fuzz input: any parent links (loops included), any status, and names of
// any length with or without a terminator.
#include "tests/fuzz/fuzzdev.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Prop {
    bool present = false;
    bool terminated = true;
    std::string bytes;
};

struct Node {
    DWORD parent = 0;
    DWORD status = 0;
    DWORD problem = 0;
    bool statusFails = false;
    Prop props[3];  // friendly name, description, class GUID
};

std::vector<Node> g_nodes;
int g_openSets = 0;

const Node* Find(DEVINST dev) { return dev >= 1 && dev <= g_nodes.size() ? &g_nodes[dev - 1] : 0; }

}  // namespace

void FuzzDev_Load(const uint8_t* data, size_t size)
{
    Reader in = {data, size};
    g_nodes.assign(in.Byte() % 40, Node());
    for (Node& n : g_nodes) {
        n.parent = in.Byte() % (g_nodes.size() + 1);
        uint8_t flags = in.Byte();
        n.status = (flags & 1 ? DN_REMOVABLE : 0) | (flags & 2 ? DN_DISABLEABLE : 0) | 0x180;
        n.statusFails = (flags & 0x0C) == 0x0C;
        n.problem = flags & 0x10 ? in.Byte() : 0;
        for (Prop& prop : n.props) {
            uint8_t how = in.Byte();
            prop.present = how & 1;
            prop.terminated = !(how & 2);
            size_t length = (in.Byte() | (size_t)in.Byte() << 8) % 700;
            for (size_t k = 0; k < length; ++k)
                prop.bytes += (char)(in.left ? in.Byte() : 'L');
        }
    }
}

int FuzzDev_OpenSets() { return g_openSets; }

extern "C" {

HDEVINFO SetupDiGetClassDevsA(const GUID*, PCSTR, HWND, DWORD)
{
    ++g_openSets;
    return (HDEVINFO)(intptr_t)1;
}

BOOL SetupDiEnumDeviceInfo(HDEVINFO, DWORD index, PSP_DEVINFO_DATA data)
{
    if (!data || data->cbSize != sizeof(SP_DEVINFO_DATA) || index >= g_nodes.size())
        return FALSE;
    data->DevInst = index + 1;
    return TRUE;
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO)
{
    --g_openSets;
    return TRUE;
}

CONFIGRET CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST dev, ULONG)
{
    const Node* n = Find(dev);
    if (!n)
        return CR_INVALID_DEVNODE;
    if (n->statusFails)
        return CR_NO_SUCH_DEVNODE;
    *status = n->status;
    *problem = n->problem;
    return CR_SUCCESS;
}

CONFIGRET CM_Get_Child(PDEVINST child, DEVINST dev, ULONG)
{
    *child = 0;
    if (!Find(dev))
        return CR_INVALID_DEVNODE;
    for (size_t k = 0; k < g_nodes.size(); ++k)
        if (g_nodes[k].parent == dev) {
            *child = (DEVINST)(k + 1);
            return CR_SUCCESS;
        }
    return CR_NO_SUCH_DEVNODE;
}

CONFIGRET CM_Get_DevNode_Registry_PropertyA(DEVINST dev, ULONG property, PULONG regType,
                                            PVOID buffer, PULONG length, ULONG)
{
    const Node* n = Find(dev);
    if (!n || !length)
        return CR_INVALID_DEVNODE;
    int which = property == CM_DRP_FRIENDLYNAME ? 0 : property == CM_DRP_DEVICEDESC ? 1
              : property == CM_DRP_CLASSGUID    ? 2 : -1;
    if (which < 0 || !n->props[which].present)
        return CR_NO_SUCH_VALUE;
    const Prop& p = n->props[which];
    ULONG needed = (ULONG)p.bytes.size() + (p.terminated ? 1 : 0);
    if (!buffer || *length < needed) {
        *length = needed;
        return CR_BUFFER_SMALL;
    }
    memcpy(buffer, p.bytes.c_str(), needed);  // c_str() supplies the terminator
    *length = needed;
    if (regType)
        *regType = REG_SZ;
    return CR_SUCCESS;
}

CONFIGRET CM_Request_Device_EjectA(DEVINST dev, PPNP_VETO_TYPE, LPSTR, ULONG, ULONG)
{
    return Find(dev) ? CR_SUCCESS : CR_INVALID_DEVNODE;
}

}  // extern "C"
