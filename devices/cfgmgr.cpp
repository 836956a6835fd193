// Scanning fills the table in place; it never allocates, so a refresh on a
// device notification costs only the configuration-manager calls.
#include "devices/cfgmgr.h"

#include <cstring>
#include <new>

#include "app/holders.h"

CCFGMGR::CCFGMGR() : hwndParent(0), capacity(0), count(0), table(0) {}

CCFGMGR::~CCFGMGR() { Free(); }

void CCFGMGR::Free()
{
    delete[] table;
    hwndParent = 0;
    capacity = 0;
    count = 0;
    table = 0;
}

int CCFGMGR::Create()
{
    Free();
    table = new (std::nothrow) DEVENTRY[MAX_TABLE];
    if (!table)
        return 0;
    memset(table, 0, sizeof(DEVENTRY) * MAX_TABLE);
    capacity = MAX_TABLE;
    return 1;
}

void CCFGMGR::Scan(int acceptProblems)
{
    // A table that is missing or already full would be written past its
    // end: refuse rather than rely on every caller.
    if (!table || count >= capacity)
        return;

    HOLDER<HDEVINFO, SetupDiDestroyDeviceInfoList, -1> set(
        SetupDiGetClassDevsA(0, 0, hwndParent, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!set.Held())
        return;

    SP_DEVINFO_DATA data;
    memset(&data, 0, sizeof(data));
    data.cbSize = sizeof(data);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set.handle, index, &data); ++index) {
        ULONG status = 0, problem = 0;
        if (CM_Get_DevNode_Status(&status, &problem, data.DevInst, 0) != CR_SUCCESS)
            continue;
        if ((status & (DN_REMOVABLE | DN_DISABLEABLE)) != (DN_REMOVABLE | DN_DISABLEABLE))
            continue;
        if (!acceptProblems && problem != 0)
            continue;
        DEVENTRY& entry = table[count];
        ReadDevNodeName(data.DevInst, entry.name);
        entry.devInst = data.DevInst;
        entry.status = status;
        entry.problem = problem;
        if (++count >= capacity)
            break;
    }

    for (DWORD i = 0; i < count; ++i)
        BuildChain(table[i]);
}

void CCFGMGR::BuildChain(DEVENTRY& entry)
{
    entry.chainCount = 0;
    DEVINST parent = entry.devInst;
    while (entry.chainCount < CHAIN_MAX) {
        DEVNODEINFO& member = entry.chain[entry.chainCount];
        if (CM_Get_Child(&member.devInst, parent, 0) != CR_SUCCESS)
            return;
        ULONG status = 0, problem = 0;
        if (CM_Get_DevNode_Status(&status, &problem, member.devInst, 0) != CR_SUCCESS)
            return;
        ReadDevNodeName(member.devInst, member.name);
        member.status = status;
        member.problem = problem;
        parent = member.devInst;
        ++entry.chainCount;
    }
}

char* ReadDevNodeName(DEVINST devInst, char* buffer)
{
    // A name that does not fit whole is refused by the configuration
    // manager, so a too-long friendly name falls back to the description.
    static const ULONG properties[] = {CM_DRP_FRIENDLYNAME, CM_DRP_DEVICEDESC};
    for (ULONG property : properties) {
        memset(buffer, 0, DEVNAME_SIZE);
        ULONG length = DEVNAME_SIZE, type = 0;
        if (CM_Get_DevNode_Registry_PropertyA(devInst, property, &type, buffer, &length, 0) ==
            CR_SUCCESS) {
            buffer[DEVNAME_SIZE - 1] = '\0';
            return buffer;
        }
    }
    memset(buffer, 0, DEVNAME_SIZE);
    return 0;
}

static int ReadGuidText(DEVINST devInst, char* buffer)
{
    memset(buffer, 0, GUIDTEXT_SIZE);
    ULONG length = GUIDTEXT_SIZE, type = 0;
    int ok = CM_Get_DevNode_Registry_PropertyA(devInst, CM_DRP_CLASSGUID, &type, buffer, &length,
                                               0) == CR_SUCCESS;
    buffer[GUIDTEXT_SIZE - 1] = '\0';
    return ok;
}

int CCFGMGR::ReadClassGuid(DWORD i, char* buffer) const
{
    if (!table || i >= count)
        return 0;
    return ReadGuidText(table[i].devInst, buffer);
}

int CCFGMGR::ReadChainClassGuid(DWORD i, DWORD c, char* buffer) const
{
    if (!table || i >= count || c >= table[i].chainCount || c >= CHAIN_MAX)
        return 0;
    return ReadGuidText(table[i].chain[c].devInst, buffer);
}
