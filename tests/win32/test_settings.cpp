// Settings and hide list against the real registry.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/appstate.h"
#include "settings/store.h"
#include "tests/win32/import_slot.h"

namespace {

struct RawValue {
    LONG rc;
    DWORD type;
    std::string bytes;
};

// What is stored, byte for byte, without going through the program.
RawValue ReadRaw(const char* path, const char* name)
{
    RawValue v = {ERROR_FILE_NOT_FOUND, REG_NONE, std::string()};
    HKEY key = 0;
    v.rc = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    if (v.rc != ERROR_SUCCESS)
        return v;
    DWORD size = 0;
    v.rc = RegQueryValueExA(key, name, 0, &v.type, 0, &size);
    if (v.rc == ERROR_SUCCESS) {
        // Room for more than reported, so a stray terminator would show up in size.
        v.bytes.assign(size + 16, '\0');
        DWORD got = (DWORD)v.bytes.size();
        v.rc = RegQueryValueExA(key, name, 0, &v.type, (BYTE*)&v.bytes[0], &got);
        v.bytes.resize(got);
    }
    RegCloseKey(key);
    return v;
}

// A stored text as the program would see it: the registry's own terminator
// (see TextsAreWrittenWithoutTerminator) does not count.
std::string StoredText(const char* path, const char* name)
{
    RawValue v = ReadRaw(path, name);
    EXPECT_EQ(ERROR_SUCCESS, v.rc) << name;
    EXPECT_EQ((DWORD)REG_SZ, v.type) << name;
    if (!v.bytes.empty() && v.bytes.back() == '\0')
        v.bytes.pop_back();
    return v.bytes;
}

// Another writer: stores exactly the bytes given.
void WriteRaw(const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, path, name, type, data, size));
}

void WriteText(const char* path, const char* name, const std::string& bytes)
{
    WriteRaw(path, name, REG_SZ, bytes.data(), (DWORD)bytes.size());
}
void WriteNumber(const char* path, const char* name, DWORD value)
{
    WriteRaw(path, name, REG_DWORD, &value, sizeof value);
}

bool KeyExists(const char* path)
{
    HKEY key = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// How many subkeys and values a key holds.
typedef std::vector<DWORD> Counts;
Counts KeyCounts(const char* path)
{
    Counts n(2, 0xffffffff);
    HKEY key = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key)) << path;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(key, 0, 0, 0, &n[0], 0, 0, &n[1], 0, 0, 0, 0));
    RegCloseKey(key);
    return n;
}

std::string EntryName(int k)
{
    char name[8];
    snprintf(name, sizeof name, "%02d", k);
    return name;
}

// The five flags in check-box order: in the record, and stored by name.
typedef std::vector<DWORD> FlagValues;
const char* const kStoredFlags[SETTING_FLAGS] = {"Separator", "ChildOnly", "HideInvalid", "HideWPD",
                                                 "AutoShow"};

FlagValues Flags(const APPSTATE& app)
{
    FlagValues got;
    for (const SETTINGFLAG& flag : kSettingFlags)
        got.push_back(app.*flag.field);
    return got;
}

// A value that is missing or not four bytes of REG_DWORD reads as 0xBAD.
FlagValues StoredFlags()
{
    FlagValues got;
    for (const char* name : kStoredFlags) {
        RawValue v = ReadRaw(SETTINGS_KEY, name);
        DWORD n = 0xBAD;
        if (v.rc == ERROR_SUCCESS && v.type == REG_DWORD && v.bytes.size() == sizeof n)
            memcpy(&n, v.bytes.data(), sizeof n);
        got.push_back(n);
    }
    return got;
}

std::string Letters(size_t n)
{
    std::string s;
    for (size_t k = 0; k < n; ++k)
        s += (char)('a' + k % 26);
    return s;
}

// What the program hands the registry, before the registry adds anything:
// the last write of each value, by name.
struct Written {
    DWORD type;
    std::string bytes;
};
std::map<std::string, Written> g_written;
ScopedImport* g_setHook = 0;

LONG WINAPI RecordingSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                              DWORD size)
{
    g_written[name ? name : ""] = {type, std::string((const char*)data, size)};
    typedef LONG(WINAPI * SetValue)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);
    return ((SetValue)g_setHook->original())(key, name, reserved, type, data, size);
}

// A loaded hide entry holds `want`.
void ExpectEntry(const std::string& want, const CSTR& entry)
{
    ASSERT_NE(nullptr, entry.buffer) << want;
    EXPECT_EQ(want, entry.buffer);
}

// The loaded hide list holds `entries` (number, text) and no others.
void ExpectHideList(const APPSTATE& app, const std::map<int, std::string>& entries)
{
    for (int k = 0; k < HIDE_ENTRIES; ++k)
        if (entries.count(k))
            ExpectEntry(entries.at(k), app.hideList[k]);
        else
            EXPECT_EQ(nullptr, app.hideList[k].buffer) << "entry " << k;
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, SETTINGS_KEY);
        ASSERT_FALSE(KeyExists(SETTINGS_KEY));
        ASSERT_TRUE(CreateAppState(GetModuleHandleA(0)));
    }
    void TearDown() override
    {
        DestroyAppState();
        RegDeleteTreeA(HKEY_CURRENT_USER, SETTINGS_KEY);
    }
    // A fresh start of the program: new state, then (unless !load) the stored settings.
    APPSTATE& Restart(bool load = true)
    {
        DestroyAppState();
        EXPECT_TRUE(CreateAppState(GetModuleHandleA(0)));
        if (load)
            LoadSettings();
        return *g_app;
    }
};

TEST_F(Settings, FirstStartCreatesBothKeysEmptyAndKeepsDefaults)
{
    LoadSettings();
    ASSERT_TRUE(KeyExists(SETTINGS_KEY));
    ASSERT_TRUE(KeyExists(HIDELIST_KEY));
    EXPECT_EQ((Counts{1, 0}), KeyCounts(SETTINGS_KEY)) << "subkeys, values: only the hide list";
    EXPECT_EQ((Counts{0, 0}), KeyCounts(HIDELIST_KEY)) << "subkeys, values";

    APPSTATE& app = *g_app;
    EXPECT_EQ(FlagValues({1, 0, 1, 0, 0}), Flags(app));
    EXPECT_STREQ("%s+ %s", app.ChildForm);
    EXPECT_STREQ(" ", app.ChildSpace);
    ExpectHideList(app, {});
}

TEST_F(Settings, KeyPathKeepsItsHistoricSpelling)
{
    // Lists left by earlier versions are found where they were left, and
    // saving puts them back there.
    const char* const path = "Software\\HALCYRA\\VANTREL\\Disbale";
    WriteText(path, "07", "Old Stick");
    WriteNumber("Software\\HALCYRA\\VANTREL", "ChildOnly", 1);
    APPSTATE& app = Restart();
    ExpectEntry("Old Stick", app.hideList[7]);
    EXPECT_EQ(1u, app.ChildOnly);
    app.hideList[8].Append("New Stick");
    SaveSettings();
    EXPECT_EQ(std::string("New Stick"), StoredText(path, "08"));
    EXPECT_EQ(std::string("Old Stick"), StoredText(path, "07"));
}

TEST_F(Settings, EachFlagIsReadFromItsOwnValue)
{
    for (int k = 0; k < SETTING_FLAGS; ++k)
        WriteNumber(SETTINGS_KEY, kStoredFlags[k], 11u * (k + 1));
    EXPECT_EQ(FlagValues({11, 22, 33, 44, 55}), Flags(Restart()));
}

TEST_F(Settings, SaveThenLoadRestoresEverything)
{
    const FlagValues flags = {0, 1, 0, 1, 1};
    APPSTATE& before = *g_app;
    for (int k = 0; k < SETTING_FLAGS; ++k)
        before.*kSettingFlags[k].field = flags[k];
    strcpy(before.ChildForm, "[%s] -> %s");
    strcpy(before.ChildSpace, "..");
    before.hideList[0].Append("USB Mass Storage");
    before.hideList[5].Append("Pocket Player");
    before.hideList[31].Append(Letters(255).c_str());  // full length
    SaveSettings();
    EXPECT_EQ(flags, StoredFlags());

    APPSTATE& app = Restart();
    EXPECT_EQ(flags, Flags(app));
    EXPECT_STREQ("[%s] -> %s", app.ChildForm);
    EXPECT_STREQ("..", app.ChildSpace);
    ExpectHideList(app, {{0, "USB Mass Storage"}, {5, "Pocket Player"}, {31, Letters(255)}});
}

TEST_F(Settings, TextsAreWrittenWithoutTerminator)
{
    APPSTATE& app = *g_app;
    strcpy(app.ChildForm, "%s/%s");
    strcpy(app.ChildSpace, "  ");
    app.hideList[2].Append("Archive Disk");
    app.hideList[9].Append(Letters(255).c_str());
    {
        g_written.clear();
        ScopedImport hook("advapi32.dll", "RegSetValueExA", (void*)RecordingSetValue);
        ASSERT_TRUE(hook.active());
        g_setHook = &hook;
        SaveSettings();
        g_setHook = 0;
    }
    const struct {
        const char* name;
        std::string text;
    } texts[] = {
        {"ChildForm", "%s/%s"}, {"ChildSpace", "  "}, {"02", "Archive Disk"}, {"09", Letters(255)}};
    for (const auto& t : texts) {
        ASSERT_EQ(1u, g_written.count(t.name)) << t.name;
        EXPECT_EQ((DWORD)REG_SZ, g_written[t.name].type) << t.name;
        EXPECT_EQ(t.text, g_written[t.name].bytes) << t.name;
        // The registry itself then terminates a text whose next byte is a
        // zero, as NT does; what is read back is the text all the same.
        EXPECT_EQ(t.text, StoredText(t.name[0] == 'C' ? SETTINGS_KEY : HIDELIST_KEY, t.name));
    }
}

TEST_F(Settings, EmptyTextsAreStoredEmptyAndLoadAsDefaults)
{
    APPSTATE& app = *g_app;
    app.ChildForm[0] = '\0';
    app.ChildSpace[0] = '\0';
    SaveSettings();

    for (const char* name : {"ChildForm", "ChildSpace"}) {
        RawValue v = ReadRaw(SETTINGS_KEY, name);
        ASSERT_EQ(ERROR_SUCCESS, v.rc) << name;
        EXPECT_EQ((DWORD)REG_SZ, v.type) << name;
        EXPECT_EQ(0u, v.bytes.size()) << name;
    }

    APPSTATE& loaded = Restart();
    EXPECT_STREQ("%s+ %s", loaded.ChildForm);
    EXPECT_STREQ(" ", loaded.ChildSpace);
}

TEST_F(Settings, ZeroLengthHideEntryFromAnotherWriterLoadsAsNothing)
{
    WriteText(HIDELIST_KEY, "04", "");
    WriteText(HIDELIST_KEY, "05", "Present");
    ExpectHideList(Restart(), {{5, "Present"}});
}

TEST_F(Settings, TerminatedTextsFromAnotherWriterReadTheSame)
{
    WriteText(SETTINGS_KEY, "ChildForm", std::string("<%s|%s>\0", 8));
    WriteText(SETTINGS_KEY, "ChildSpace", std::string("--\0", 3));
    WriteText(HIDELIST_KEY, "00", std::string("Kingfisher\0", 11));
    // Bytes after a terminator are not part of the text.
    WriteText(HIDELIST_KEY, "01", std::string("Slim\0Optical", 12));
    APPSTATE& app = Restart();
    EXPECT_STREQ("<%s|%s>", app.ChildForm);
    EXPECT_STREQ("--", app.ChildSpace);
    ExpectHideList(app, {{0, "Kingfisher"}, {1, "Slim"}});
    EXPECT_EQ(11u, app.hideList[0].bufferSize);
}

TEST_F(Settings, OversizedTextsAreCutToFitTheirFields)
{
    const std::string longForm = Letters(CHILDFORM_SIZE + 9);
    const std::string longSpace = Letters(CHILDSPACE_SIZE + 12);
    const std::string longEntry = Letters(300);
    WriteText(SETTINGS_KEY, "ChildForm", longForm);
    WriteText(SETTINGS_KEY, "ChildSpace", longSpace);
    WriteText(HIDELIST_KEY, "03", longEntry);

    APPSTATE& app = Restart(false);
    // The field after ChildSpace must come through untouched.
    memset(app.editText, 'Z', sizeof app.editText - 1);
    app.editText[sizeof app.editText - 1] = '\0';
    LoadSettings();

    EXPECT_EQ(longForm.substr(0, CHILDFORM_SIZE - 1), std::string(app.ChildForm));
    EXPECT_EQ('\0', app.ChildForm[CHILDFORM_SIZE - 1]);
    EXPECT_EQ(longSpace.substr(0, CHILDSPACE_SIZE - 1), std::string(app.ChildSpace));
    EXPECT_EQ('\0', app.ChildSpace[CHILDSPACE_SIZE - 1]);
    EXPECT_EQ(std::string(EDITTEXT_SIZE - 1, 'Z'), std::string(app.editText));
    ExpectEntry(longEntry.substr(0, 255), app.hideList[3]);
    EXPECT_EQ(256u, app.hideList[3].bufferSize);
}

TEST_F(Settings, EmptyHideEntriesAreDeletedOnSave)
{
    for (int k = 0; k < HIDE_ENTRIES; ++k)
        WriteText(HIDELIST_KEY, EntryName(k).c_str(), "stale " + EntryName(k));
    APPSTATE& app = *g_app;
    app.hideList[1].Append("Kept");
    app.hideList[30].Append("Also kept");
    SaveSettings();

    EXPECT_EQ((Counts{0, 2}), KeyCounts(HIDELIST_KEY)) << "subkeys, values";
    for (int k = 0; k < HIDE_ENTRIES; ++k) {
        std::string name = EntryName(k);
        if (k == 1 || k == 30)
            EXPECT_EQ(k == 1 ? "Kept" : "Also kept", StoredText(HIDELIST_KEY, name.c_str()));
        else
            EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw(HIDELIST_KEY, name.c_str()).rc) << name;
    }
}

struct NumberShape {
    DWORD type;
    const char* bytes;
    DWORD size;
    DWORD expected;  // the field started as 0xAABBCCDD
};

// Only the bytes actually read change the field, low byte first.
const NumberShape kNumberShapes[] = {
    {REG_DWORD, "\x00\x00\x00\x00", 4, 0},
    {REG_DWORD, "\x04\x03\x02\x01", 4, 0x01020304},
    {REG_BINARY, "", 0, 0xAABBCCDD},
    {REG_BINARY, "\x07", 1, 0xAABBCC07},
    {REG_BINARY, "\x34\x12", 2, 0xAABB1234},
    {REG_BINARY, "\x01\x02\x03\x04\x05", 5, 0xAABBCCDD},
    {REG_SZ, "", 0, 0xAABBCCDD},
    {REG_SZ, "1", 2, 0xAABB0031},
    {REG_SZ, "ON!", 2, 0xAABB4E4F},  // no zero after: stored as two bytes
    {REG_SZ, "ON", 2, 0xAA004E4F},   // the registry adds the terminator
};

TEST_F(Settings, NumbersChangeOnlyTheBytesStored)
{
    for (const NumberShape& c : kNumberShapes) {
        WriteRaw(SETTINGS_KEY, "HideWPD", c.type, c.bytes, c.size);
        Restart(false).HideWPD = 0xAABBCCDD;
        LoadSettings();
        EXPECT_EQ(c.expected, g_app->HideWPD) << "type " << c.type << ", " << c.size << " bytes";
    }
}

}  // namespace
