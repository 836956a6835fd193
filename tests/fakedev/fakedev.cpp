// A device tree that answers the seven device functions the way Windows
// does. Linked into the native tests, and built as setupapi.dll that Wine
// loads in place of its own (whose nodes never report removable bits).
// What it models, the files it reads and writes and the tree format:
// tests/README.md, "The fake device stack".
#ifdef _WIN32
#define _SETUPAPI_
#define _CFGMGR32_
#endif
#include "app/winlayer.h"
#include "tests/fakedev/fakedev.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Node {
    DWORD id = 0;
    DWORD parent = 0;
    DWORD status = 0;
    DWORD problem = 0;
    std::map<ULONG, std::string> properties;  // by CM_DRP_ number, those present
    bool statusFails = false;
    bool vetoes = false;
    size_t line = 0;  // in the tree's text, for an eject to edit
};

struct Tree {
    std::vector<Node> nodes;
    bool enumFails = false;
    // By id, and first child by parent (file order): cheap calls on the full table too.
    std::map<DWORD, size_t> at;
    std::map<DWORD, DWORD> firstChild;
};

enum { kGetClassDevs, kEnum, kDestroy, kStatus, kChild, kProperty, kEject, kFunctionCount };

// Windows values the program itself never names.
const DWORD kHasProblem = 0x400;       // DN_HAS_PROBLEM
const DWORD kHeldForEject = 47;        // CM_PROB_HELD_FOR_EJECT
const CONFIGRET kRemoveVetoed = 0x17;  // CR_REMOVE_VETOED
const int kVetoOutstandingOpen = 5;    // PNP_VetoOutstandingOpen

// All that FakeDev_Reset forgets.
struct State {
    Tree tree;
    std::string treeText;    // the text tree was parsed from
    bool fixedTree = false;  // set by FakeDev_LoadText
    std::string treeStamp;   // path, size and write time of the file tree came from
    std::string refusedStamp;
    unsigned counts[kFunctionCount] = {};
    std::vector<std::string> ejects;
    // Each set is a snapshot, so a tree change during an enumeration does not
    // shift the indices under the caller.
    std::map<int, std::vector<DWORD>> sets;
};
State g_dev;
int g_nextSet = 1;

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// "-" is an absent property; "~N" is N letters 'L', for length limits.
void ParseProperty(const std::string& field, ULONG property, Node& n)
{
    if (field.size() > 1 && field[0] == '~' && isdigit((unsigned char)field[1]))
        n.properties[property].assign(strtoul(field.c_str() + 1, 0, 10), 'L');
    else if (field != "-")
        n.properties[property] = field;
}

// The pieces of a text between separators: "a|b" gives a and b, "a\n" gives a and "".
std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    for (size_t start = 0;;) {
        size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return pieces;
        start = end + 1;
    }
}

std::string Join(const std::vector<std::string>& pieces, char separator)
{
    std::string text;
    for (size_t k = 0; k < pieces.size(); ++k)
        text += (k ? std::string(1, separator) : "") + pieces[k];
    return text;
}

bool HasSwitch(const std::string& switches, const char* word)
{
    std::string padded = " " + switches + " ";
    for (char& c : padded)
        if (c == ',' || c == '\t')
            c = ' ';
    return padded.find(" " + std::string(word) + " ") != std::string::npos;
}

bool WriteText(const char* path, const std::string& text, const char* mode = "wb")
{
    FILE* f = fopen(path, mode);
    if (!f)
        return false;
    fwrite(text.data(), 1, text.size(), f);
    return fclose(f) == 0;
}

const Node* Find(DWORD id)
{
    auto it = g_dev.tree.at.find(id);
    return it == g_dev.tree.at.end() ? 0 : &g_dev.tree.nodes[it->second];
}

// A bad line refuses the whole tree; `why` names it.
bool ParseTree(const std::string& text, Tree& tree, std::string& why)
{
    tree = Tree();
    std::vector<std::string> lines = Split(text, '\n');
    for (size_t k = 0; k < lines.size(); ++k) {
        std::string line = Trim(lines[k]);
        if (line.empty() || line[0] == '#')
            continue;
        if (line == "!enumfail") {
            tree.enumFails = true;
            continue;
        }
        std::vector<std::string> f = Split(line, '|');
        for (std::string& field : f)
            field = Trim(field);
        Node n;
        if (f.size() >= 7 && f.size() <= 8) {
            n.id = strtoul(f[0].c_str(), 0, 0);
            n.parent = strtoul(f[1].c_str(), 0, 0);
            n.status = strtoul(f[2].c_str(), 0, 0);
            n.problem = strtoul(f[3].c_str(), 0, 0);
        }
        // Windows reports a problem number only together with DN_HAS_PROBLEM.
        if (n.id == 0 || (n.problem != 0) != ((n.status & kHasProblem) != 0)) {
            why = "fakedev: device tree line " + std::to_string(k + 1) +
                  (n.id == 0 ? " is not a node: "
                             : " has a problem number and DN_HAS_PROBLEM (0x400) that disagree: ") +
                  line;
            return false;
        }
        ParseProperty(f[4], CM_DRP_CLASSGUID, n);
        ParseProperty(f[5], CM_DRP_FRIENDLYNAME, n);
        ParseProperty(f[6], CM_DRP_DEVICEDESC, n);
        n.statusFails = f.size() == 8 && HasSwitch(f[7], "nostatus");
        n.vetoes = f.size() == 8 && HasSwitch(f[7], "veto");
        n.line = k;
        tree.at.emplace(n.id, tree.nodes.size());
        tree.firstChild.emplace(n.parent, n.id);
        tree.nodes.push_back(n);
    }
    return true;
}

// Takes the tree from text; a refused tree leaves the last one in place.
bool UseText(const std::string& text)
{
    Tree t;
    std::string why;
    if (!ParseTree(text, t, why)) {
        fprintf(stderr, "%s\n", why.c_str());
#ifdef _WIN32
        OutputDebugStringA(
            (why + "\n").c_str());  // where the run command shows the program's lines
#endif
        return false;
    }
    g_dev.tree = t;
    g_dev.treeText = text;
    return true;
}

// Path, size and write time in 100 ns units, so that a tree rewritten
// within the same second is still seen. Natively none: read every time.
std::string FileStamp(const char* path)
{
    char stamp[64] = "";
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &a))
        snprintf(stamp, sizeof stamp, "|%lu|%lu|%lu", a.nFileSizeLow,
                 a.ftLastWriteTime.dwHighDateTime, a.ftLastWriteTime.dwLowDateTime);
#endif
    return *stamp ? path + std::string(stamp) : "";
}

void ReloadFromEnvironment()
{
    if (g_dev.fixedTree)
        return;
    const char* path = getenv("FAKEDEV_TREE");
    if (!path || !*path)
        return;
    std::string stamp = FileStamp(path);
    if (!stamp.empty() && (stamp == g_dev.treeStamp || stamp == g_dev.refusedStamp))
        return;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return;  // keep the last tree: a writer may be replacing the file
    std::stringstream text;
    text << in.rdbuf();
    if (UseText(text.str()))
        g_dev.treeStamp = stamp;
    else
        g_dev.refusedStamp = stamp;  // said once, not at every call
}

// Windows keeps an ejected node, held with a problem until it is unplugged,
// and drops every node below it. The change is made to the tree's text and
// the file is rewritten (comments kept, stamp taken again): a test that
// later plugs or pulls a device edits that file, and a later process
// (a batch run after a resident one) reads it, so both must see it.
void Eject(DWORD dev)
{
    std::set<DWORD> below = {dev};
    for (size_t seen = 0; seen != below.size();) {
        seen = below.size();
        for (const Node& n : g_dev.tree.nodes)
            if (below.count(n.parent))
                below.insert(n.id);
    }
    std::vector<std::string> lines = Split(g_dev.treeText, '\n');
    const Node* held = Find(dev);
    std::vector<std::string> f = Split(lines[held->line], '|');
    char status[16];
    snprintf(status, sizeof status, " 0x%lx ", (unsigned long)(held->status | kHasProblem));
    f[2] = status;
    f[3] = " " + std::to_string(kHeldForEject) + " ";
    lines[held->line] = Join(f, '|');
    for (const Node& n : g_dev.tree.nodes)
        if (n.id != dev && below.count(n.id))
            lines[n.line] = "\n";  // no line of the text holds one: marked to go
    lines.erase(std::remove(lines.begin(), lines.end(), "\n"), lines.end());
    std::string text = Join(lines, '\n');
    UseText(text);
    const char* path = getenv("FAKEDEV_TREE");
    if (g_dev.fixedTree || !path || !*path)
        return;
    // Replaced whole, so that a reader never sees half a tree.
    std::string temp = std::string(path) + ".ejected";
    if (!WriteText(temp.c_str(), text))
        return;
#ifdef _WIN32
    bool replaced = MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING);
#else
    bool replaced = rename(temp.c_str(), path) == 0;
#endif
    if (!replaced)
        WriteText(path, text);
    remove(temp.c_str());
    g_dev.treeStamp = FileStamp(path);
}

void WriteCounts()
{
    const char* path = getenv("FAKEDEV_COUNTS");
    if (!path || !*path)
        return;
    std::string text;
    for (int i = 0; i < kFunctionCount; ++i)
        text += kFakeDevFunctions[i] + (" " + std::to_string(g_dev.counts[i])) + "\n";
    WriteText(path, text + "OpenSets " + std::to_string(g_dev.sets.size()) + "\n");
}

// A failed SetupDi call: FALSE, and the error for GetLastError.
BOOL Fail(DWORD code)
{
#ifdef _WIN32
    SetLastError(code);
#else
    (void)code;
#endif
    return FALSE;
}

}  // namespace

void FakeDev_Reset() { g_dev = State(); }

int FakeDev_LoadText(const std::string& text)
{
    g_dev.fixedTree = true;
    g_dev.tree = Tree();
    return UseText(text) ? 1 : 0;
}

unsigned FakeDev_Count(const char* function)
{
    for (int i = 0; i < kFunctionCount; ++i)
        if (strcmp(kFakeDevFunctions[i], function) == 0)
            return g_dev.counts[i];
    return 0;
}

int FakeDev_OpenSets() { return (int)g_dev.sets.size(); }

const std::vector<std::string>& FakeDev_Ejects() { return g_dev.ejects; }

extern "C" {

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent,
                                     DWORD flags)
{
    (void)parent;
    ++g_dev.counts[kGetClassDevs];
    ReloadFromEnvironment();
    // Only the all-classes, present-only query is modelled.
    if (g_dev.tree.enumFails || classGuid || enumerator ||
        flags != (DIGCF_PRESENT | DIGCF_ALLCLASSES)) {
        Fail(87 /* ERROR_INVALID_PARAMETER */);
        return INVALID_HANDLE_VALUE;
    }
    int handle = g_nextSet++;
    std::vector<DWORD>& ids = g_dev.sets[handle];
    for (const Node& n : g_dev.tree.nodes)
        ids.push_back(n.id);
    return (HDEVINFO)(intptr_t)handle;
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA data)
{
    ++g_dev.counts[kEnum];
    auto it = g_dev.sets.find((int)(intptr_t)set);
    if (it == g_dev.sets.end())
        return Fail(6 /* ERROR_INVALID_HANDLE */);
    if (!data || data->cbSize != sizeof(SP_DEVINFO_DATA))
        return Fail(1784 /* ERROR_INVALID_USER_BUFFER */);
    if (index >= it->second.size())
        return Fail(ERROR_NO_MORE_ITEMS);
    data->DevInst = it->second[index];
    return TRUE;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set)
{
    ++g_dev.counts[kDestroy];
    if (!g_dev.sets.erase((int)(intptr_t)set))
        return Fail(6);
    WriteCounts();
    return TRUE;
}

CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG status, PULONG problem, DEVINST dev, ULONG flags)
{
    ++g_dev.counts[kStatus];
    if (!status || !problem)
        return CR_INVALID_POINTER;
    const Node* n = Find(dev);
    if (!n || flags != 0)
        return CR_INVALID_DEVNODE;
    if (n->statusFails)
        return CR_NO_SUCH_DEVNODE;
    *status = n->status;
    *problem = n->problem;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Child(PDEVINST child, DEVINST dev, ULONG flags)
{
    ++g_dev.counts[kChild];
    if (!child)
        return CR_INVALID_POINTER;
    *child = 0;
    if (!Find(dev) || flags != 0)
        return CR_INVALID_DEVNODE;
    auto it = g_dev.tree.firstChild.find(dev);
    if (it == g_dev.tree.firstChild.end())
        return CR_NO_SUCH_DEVNODE;
    *child = it->second;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_DevNode_Registry_PropertyA(DEVINST dev, ULONG property, PULONG regType,
                                                   PVOID buffer, PULONG length, ULONG flags)
{
    ++g_dev.counts[kProperty];
    if (!length)
        return CR_INVALID_POINTER;
    const Node* n = Find(dev);
    if (!n || flags != 0)
        return CR_INVALID_DEVNODE;
    auto it = n->properties.find(property);
    if (it == n->properties.end())
        return CR_NO_SUCH_VALUE;
    const std::string& value = it->second;
    // Like Windows: the whole value with its terminator, or nothing.
    ULONG needed = (ULONG)value.size() + 1;
    if (!buffer || *length < needed) {
        *length = needed;
        return CR_BUFFER_SMALL;
    }
    memcpy(buffer, value.c_str(), needed);
    *length = needed;
    if (regType)
        *regType = REG_SZ;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Request_Device_EjectA(DEVINST dev, PPNP_VETO_TYPE vetoType, LPSTR vetoName,
                                          ULONG nameLength, ULONG flags)
{
    ++g_dev.counts[kEject];
    ReloadFromEnvironment();
    const Node* n = Find(dev);
    std::string name = n ? "" : "?";
    for (ULONG p : {CM_DRP_DEVICEDESC, CM_DRP_FRIENDLYNAME})  // the friendly name wins
        if (n && n->properties.count(p))
            name = n->properties.at(p);
    char head[160];
    snprintf(head, sizeof head, "EJECT %lu veto=%s,%s,%lu flags=%lu name=", (unsigned long)dev,
             vetoType ? "out" : "none", vetoName ? "out" : "none", (unsigned long)nameLength,
             (unsigned long)flags);
    std::string line = head + name;
    g_dev.ejects.push_back(line);
    const char* path = getenv("FAKEDEV_EJECT_LOG");
    if (path && *path)
        WriteText(path, line + "\n", "ab");
    if (!vetoName && nameLength)
        return CR_INVALID_POINTER;
    if (!n)
        return CR_INVALID_DEVNODE;
    if (n->vetoes) {  // in use: refused, nothing changes
        if (vetoType)
            *vetoType = (PNP_VETO_TYPE)kVetoOutstandingOpen;
        if (vetoName && nameLength)
            snprintf(vetoName, nameLength, "%s", name.c_str());
        return kRemoveVetoed;
    }
    if (vetoType)
        *vetoType = (PNP_VETO_TYPE)0;
    if (vetoName && nameLength)
        *vetoName = 0;
    Eject(dev);
    return CR_SUCCESS;
}

#ifdef _WIN32
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_DETACH)
        WriteCounts();
    return TRUE;
}
#endif

}  // extern "C"
