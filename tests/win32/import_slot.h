// Redirecting one of this executable's imports, and the files beside it.
// The program's code is linked into the test executable, so its system
// calls go through these slots.
#ifndef VANTREL_TESTS_IMPORT_SLOT_H
#define VANTREL_TESTS_IMPORT_SLOT_H

#include <windows.h>

#include <cstring>
#include <string>

// The path of a file beside this executable.
inline std::string Beside(const char* file)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(0, path, sizeof path);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/") + 1) + file;
}

// The import address slot of function from dll, or null when not imported.
inline void** FindImportSlot(const char* dll, const char* function)
{
    BYTE* base = (BYTE*)GetModuleHandleA(0);
    IMAGE_DOS_HEADER* dos = (IMAGE_DOS_HEADER*)base;
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return 0;
    for (IMAGE_IMPORT_DESCRIPTOR* imp = (IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress);
         imp->Name; ++imp) {
        if (lstrcmpiA((const char*)(base + imp->Name), dll) != 0)
            continue;
        IMAGE_THUNK_DATA* names =
            (IMAGE_THUNK_DATA*)(base + (imp->OriginalFirstThunk ? imp->OriginalFirstThunk
                                                                : imp->FirstThunk));
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            IMAGE_IMPORT_BY_NAME* byName = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((const char*)byName->Name, function) == 0)
                return (void**)&slots->u1.Function;
        }
    }
    return 0;
}

// Points one slot elsewhere for its lifetime.
class ScopedImport {
public:
    ScopedImport(const char* dll, const char* function, void* replacement)
        : slot_(FindImportSlot(dll, function)), original_(slot_ ? *slot_ : 0)
    {
        if (slot_)
            Write(replacement);
    }
    ~ScopedImport()
    {
        if (slot_)
            Write(original_);
    }
    bool active() const { return slot_ != 0; }
    void* original() const { return original_; }

    ScopedImport(const ScopedImport&) = delete;
    ScopedImport& operator=(const ScopedImport&) = delete;

private:
    void Write(void* value)
    {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, old, &old);
    }
    void** slot_;
    void* original_;
};

#endif
