#include "settings/store.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "app/appstate.h"
#include "settings/storetext.h"

REGISTRY::REGISTRY() : hKey(0) {}

REGISTRY::~REGISTRY() { Close(); }

int REGISTRY::Open(const char* path)
{
    Close();
    HKEY key = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, (LPSTR) "", 0, KEY_ALL_ACCESS, 0, &key, 0) !=
        ERROR_SUCCESS)
        return 0;
    hKey = key;
    return 1;
}

void REGISTRY::Close()
{
    if (hKey) {
        RegCloseKey(hKey);
        hKey = 0;
    }
}

namespace {

// Far beyond any text this program keeps; what a value may hold at most.
const DWORD MAX_VALUE_BYTES = 1u << 20;
// The widest field (a hide entry, which the Setup dialog edits in editText)
// and a terminator the registry may add.
const DWORD HIDETEXT_READ = EDITTEXT_SIZE + 2;

// Whatever the stored type, the bytes read land in the field's first bytes
// and the rest keep their value: an empty value leaves the field alone. A
// value longer than the field is not read at all.
void ReadNumber(HKEY key, const char* name, DWORD& field)
{
    BYTE data[sizeof field];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, 0, 0, data, &size) == ERROR_SUCCESS && size <= sizeof data)
        memcpy(&field, data, size);
}

// Reads a text value into a field of `capacity` bytes. A stored text longer
// than the field is cut to fit rather than dropped; a terminator stored by
// another writer, or none, reads the same.
void ReadText(HKEY key, const char* name, char* field, DWORD capacity)
{
    // A text that fits any field is read without the heap: a failed
    // allocation must not leave a stored setting unread, or the next save
    // would overwrite it with the default.
    char local[HIDETEXT_READ];
    DWORD size = sizeof local;
    LONG rc = RegQueryValueExA(key, name, 0, 0, (BYTE*)local, &size);
    if (rc == ERROR_SUCCESS && size <= sizeof local) {
        CopyStoredText(field, capacity, local, size);
        return;
    }
    if (rc != ERROR_MORE_DATA)
        return;
    size = 0;
    if (RegQueryValueExA(key, name, 0, 0, 0, &size) != ERROR_SUCCESS)
        return;
    // The size is whatever another program stored: an allocation that fails
    // leaves the field as it is, like an unreadable value.
    if (size >= MAX_VALUE_BYTES)
        return;
    char* data = new (std::nothrow) char[size + 1];
    if (!data)
        return;
    memset(data, 0, size + 1);
    if (RegQueryValueExA(key, name, 0, 0, (BYTE*)data, &size) == ERROR_SUCCESS)
        CopyStoredText(field, capacity, data, size);
    delete[] data;
}

void WriteText(HKEY key, const char* name, const char* text)
{
    // Stored without the terminating zero, as existing data are.
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text));
}

void EntryName(int k, char* name, size_t size)
{
    memset(name, 0, size);
    snprintf(name, size, ENTRY_NAME_FORMAT, k);
}

}  // namespace

void LoadSettings()
{
    APPSTATE& app = *g_app;
    REGISTRY reg;
    if (reg.Open(SETTINGS_KEY)) {
        for (const SETTINGFLAG& flag : kSettingFlags)
            ReadNumber(reg.hKey, flag.name, app.*flag.field);
        ReadText(reg.hKey, "ChildForm", app.ChildForm, CHILDFORM_SIZE);
        ReadText(reg.hKey, "ChildSpace", app.ChildSpace, CHILDSPACE_SIZE);
        ApplyDefaultSettings(app, DEFAULT_TEXTS);
        reg.Close();
    }
    if (!reg.Open(HIDELIST_KEY))
        return;
    for (int k = 0; k < HIDE_ENTRIES; ++k) {
        char name[32];
        EntryName(k, name, sizeof name);
        char data[EDITTEXT_SIZE];
        memset(data, 0, sizeof data);
        ReadText(reg.hKey, name, data, sizeof data);
        if (data[0] && !app.hideList[k].Replace(data))
            app.hideUnread |= 1u << k;
    }
    reg.Close();
}

void SaveSettings()
{
    APPSTATE& app = *g_app;
    REGISTRY reg;
    if (reg.Open(SETTINGS_KEY)) {
        for (const SETTINGFLAG& flag : kSettingFlags)
            RegSetValueExA(reg.hKey, flag.name, 0, REG_DWORD, (const BYTE*)&(app.*flag.field),
                           sizeof(DWORD));
        WriteText(reg.hKey, "ChildForm", app.ChildForm);
        WriteText(reg.hKey, "ChildSpace", app.ChildSpace);
        reg.Close();
    }
    if (!reg.Open(HIDELIST_KEY))
        return;
    for (int k = 0; k < HIDE_ENTRIES; ++k) {
        char name[32];
        EntryName(k, name, sizeof name);
        if (app.hideList[k].buffer) {
            WriteText(reg.hKey, name, app.hideList[k].buffer);
            app.hideUnread &= ~(1u << k);
        } else if (!(app.hideUnread & (1u << k))) {
            RegDeleteValueA(reg.hKey, name);
        }
    }
    reg.Close();
}
