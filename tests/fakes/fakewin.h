// Host stand-ins for the Windows calls the logic makes, with the state a
// test sets up and the record of what the logic asked for.
#ifndef VANTREL_FAKEWIN_H
#define VANTREL_FAKEWIN_H

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/winlayer.h"

struct NotifyCall {
    DWORD message;  // NIM_ADD, NIM_MODIFY or NIM_DELETE
    UINT id;
    UINT flags;
    HICON icon;
    DWORD cbSize;
};

struct FakeWin {
    // kernel objects
    std::set<std::string> mutexes;  // names that exist, held by anyone
    int openHandles = 0;
    // OpenMutexA finds nothing, as for a start racing another between its
    // probe and its create
    bool mutexProbeMisses = false;
    DWORD lastError = 0;
    // debugger output
    std::vector<std::string> trace;
    // INI files: path -> "SECTION/KEY" -> value
    std::map<std::string, std::map<std::string, std::string>> ini;
    std::vector<std::string> iniReads;  // "path|SECTION|KEY", in call order
    // module and files
    std::string moduleFileName = "C:\\Program Files\\VANTREL\\vantrel.exe";
    std::set<std::string> files;
    bool performanceCounter = true;
    unsigned sleptMs = 0;
    // shell
    std::vector<NotifyCall> notify;
    unsigned refusedAdds = 0;  // NIM_ADD requests the shell refuses before it takes one
    // icons and GDI
    std::set<unsigned> missingIcons;  // resource ids that fail to load
    std::set<std::string> badIconFiles;
    bool dibFails = false;
    bool dcFails = false;
    std::vector<std::string> loads;  // "res:<id>:<cx>x<cy>" or "file:<path>"
    int liveIcons = 0;
    int liveBitmaps = 0;
    int liveDCs = 0;
    std::vector<HGDIOBJ> selections;  // every SelectObject, in call order
    int dcsDeletedHoldingObject = 0;   // deleted without their own bitmap put back
    int smallIcon = 16;
};

extern FakeWin g_fake;
void FakeWin_Reset();

#endif
