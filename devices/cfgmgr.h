// The table of removable devices present, each with the line of nodes
// found below it by following first children.
#ifndef VANTREL_CFGMGR_H
#define VANTREL_CFGMGR_H

#include "app/winlayer.h"

#define DEVNAME_SIZE 256
#define GUIDTEXT_SIZE 64
#define CHAIN_MAX 32
#define MAX_TABLE 32

struct DEVNODEINFO {
    DWORD devInst;
    DWORD status;
    DWORD problem;
    char name[DEVNAME_SIZE];
};

// The own node's fields come first, laid out as a DEVNODEINFO.
struct DEVENTRY {
    DWORD devInst;
    DWORD status;
    DWORD problem;
    char name[DEVNAME_SIZE];
    DWORD chainCount;
    DEVNODEINFO chain[CHAIN_MAX];
};

class CCFGMGR {
public:
    HWND hwndParent;
    DWORD capacity;
    DWORD count;
    DEVENTRY* table;

    CCFGMGR();
    virtual ~CCFGMGR();

    int Create();
    // Returns the holder to its empty state; safe on an empty holder.
    void Free();
    void Scan(int acceptProblems);
    int ReadClassGuid(DWORD i, char* buffer) const;
    int ReadChainClassGuid(DWORD i, DWORD c, char* buffer) const;

private:
    CCFGMGR(const CCFGMGR&);
    CCFGMGR& operator=(const CCFGMGR&);
    void BuildChain(DEVENTRY& entry);
};

// Friendly name, else device description; buffer is DEVNAME_SIZE bytes and
// always left terminated. Returns the buffer, or null when nothing was read.
char* ReadDevNodeName(DEVINST devInst, char* buffer);

#endif
