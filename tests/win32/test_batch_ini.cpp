// Batch removal reading its list through the real profile functions, with
// the fake device stack standing in for the configuration manager.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/appstate.h"
#include "devices/batch.h"
#include "tests/fakedev/fakedev.h"
#include "tests/win32/import_slot.h"

namespace {

const char kDesk[] =
    "1 |0 |0x0180|0|{4D36E97D-E325-11CE-BFC1-08002BE10318}|-|ACPI x86-based PC\n"
    "2 |1 |0x0180|0|{36FC9E60-C465-11CF-8056-444553540000}|-|USB Root Hub\n"
    "10|2 |0x6180|0|{36FC9E60-C465-11CF-8056-444553540000}|-|USB Mass Storage Device\n"
    "11|10|0x0180|0|{4D36E967-E325-11CE-BFC1-08002BE10318}|Kingfisher DataStick|Disk drive\n"
    "12|11|0x0180|0|{71A27CDD-812A-11D0-BEC7-08002BE2092F}|-|Generic volume\n"
    "20|2 |0x6180|0|{EEC5AD98-8080-425F-922A-DABF3DE3F69A}|Pocket Player 8GB|MTP Device\n"
    "30|2 |0x6180|0|{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}|-|USB Input Device\n"
    "31|30|0x0180|0|{4D36E96F-E325-11CE-BFC1-08002BE10318}|-|HID-compliant mouse\n"
    "40|1 |0x6180|0|{4D36E965-E325-11CE-BFC1-08002BE10318}|Slim Optical Writer|CD-ROM Drive\n";

std::string Line(int devInst, const char* name)
{
    return "EJECT " + std::to_string(devInst) + " veto=none,none,0 flags=0 name=" + name + "\n";
}

void SetVariable(const std::string& name, const std::string& value)
{
    // The device stack reads the C runtime's copy of the environment.
    ASSERT_EQ(0, _putenv((name + "=" + value).c_str()));
    SetEnvironmentVariableA(name.c_str(), value.empty() ? 0 : value.c_str());
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path.c_str(), std::ios::binary);
    ASSERT_TRUE(out << text) << path;
}

// Puts the fake device stack behind the program's device calls. Wine prefers
// its own setupapi.dll over the one beside the executable unless told
// otherwise at start-up; a copy under another name has no rival, and the
// program's imports are pointed at it.
class FakeDeviceStack {
public:
    FakeDeviceStack(const std::string& dir)
    {
        HMODULE loaded = GetModuleHandleA("setupapi.dll");
        // The fake exports the device functions and nothing else.
        ready_ = loaded && !GetProcAddress(loaded, "SetupDiCreateDeviceInfoList");
        if (ready_)
            return;
        copy_ = dir + "\\fake device stack.dll";
        if (!CopyFileA(Beside("setupapi.dll").c_str(), copy_.c_str(), FALSE))
            return;
        module_ = LoadLibraryA(copy_.c_str());
        if (!module_)
            return;
        for (const char* f : kFakeDevFunctions) {
            void* target = (void*)GetProcAddress(module_, f);
            if (!target)
                return;
            hooks_.emplace_back(new ScopedImport("setupapi.dll", f, target));
            if (!hooks_.back()->active())
                return;
        }
        ready_ = true;
    }
    ~FakeDeviceStack()
    {
        hooks_.clear();
        if (module_)
            FreeLibrary(module_);
        if (!copy_.empty())
            DeleteFileA(copy_.c_str());
    }
    // Whether the device calls reach the fake.
    bool ready() const { return ready_; }

private:
    HMODULE module_ = 0;
    std::string copy_;
    std::vector<std::unique_ptr<ScopedImport>> hooks_;
    bool ready_;
};

class BatchList : public ::testing::Test {
protected:
    std::string dir, treePath, logPath, listPath;
    std::unique_ptr<FakeDeviceStack> stack;

    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
        // Blanks in every path, as under a user's documents folder.
        dir = std::string(temp) + "vantrel list " + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), 0) || GetLastError() == ERROR_ALREADY_EXISTS);
        treePath = dir + "\\desk tree.txt";
        logPath = dir + "\\eject log.txt";
        listPath = dir + "\\my devices.ini";
        DeleteFileA(logPath.c_str());
        WriteFile(treePath, kDesk);
        SetVariable("FAKEDEV_TREE", treePath);
        SetVariable("FAKEDEV_EJECT_LOG", logPath);
        stack.reset(new FakeDeviceStack(dir));
        ASSERT_TRUE(stack->ready());
        ASSERT_TRUE(CreateAppState(GetModuleHandleA(0)));
    }

    void TearDown() override
    {
        DestroyAppState();
        stack.reset();
        SetVariable("FAKEDEV_TREE", "");
        SetVariable("FAKEDEV_EJECT_LOG", "");
        DeleteFileA(treePath.c_str());
        DeleteFileA(logPath.c_str());
        DeleteFileA(listPath.c_str());
        RemoveDirectoryA(dir.c_str());
    }

    std::string Ejects() const
    {
        std::ifstream log(logPath.c_str(), std::ios::binary);
        std::string text{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    }
};

// One row a run (or runs, one per line of `commands`): the list file, the
// command lines ("@" stands for the list's path), the ejects made and,
// where the desk will not do, another tree.
struct ListCase {
    const char* name;
    std::string list;
    std::string commands;
    std::string ejects;
    const char* tree = nullptr;
};

TEST_F(BatchList, EachListEjectsWhatItNames)
{
    const std::string L255(255, 'L'), pocket = Line(20, "Pocket Player 8GB");
    const ListCase rows[] = {
        {"only its own section, among others and junk",
         "; kept by hand\r\n[Other]\r\n00=Pocket\r\nthis line is junk\r\n[VANTRL]\r\n"
         "more junk without an equals sign\r\n00 = Kingfisher\r\n=orphan value\r\n"
         "01=Slim Optical\r\n\r\n[Later]\r\n02=Pocket\r\n",
         "@", Line(10, "USB Mass Storage Device") + Line(40, "Slim Optical Writer")},
        {"one entry, every device it names", "[VANTRL]\r\n00=USB\r\n", "@",
         Line(10, "USB Mass Storage Device") + Line(30, "USB Input Device")},
        {"the list ends at the first missing entry", "[VANTRL]\r\n00=Pocket\r\n02=Slim\r\n", "@",
         pocket},
        // A shell may leave a blank after the closing quote.
        {"a path with blanks, quoted or not", "[VANTRL]\r\n00=Pocket\r\n", "\"@\"\n@\n\"@\" ",
         pocket + pocket + pocket},
        {"a missing list", "", "@.missing.ini", ""},
        // Two devices whose names differ only in the last of 255 letters'
        // worth: a value read short would name both.
        {"a full-length value, read whole", "[VANTRL]\r\n00=" + L255 + "\r\n", "@",
         Line(70, L255.c_str()),
         "1 | 0 | 0x0180 | 0 | - | - | Root\n70 | 1 | 0x6180 | 0 | - | ~255 | Long one\n"
         "71 | 1 | 0x6180 | 0 | - | ~254 | Shorter one\n"},
    };
    for (const ListCase& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();  // each row on a fresh folder, desk and state
        SetUp();
        if (!row.list.empty())
            WriteFile(listPath, row.list);
        std::string commands = row.commands + "\n", command;
        for (char c : commands)
            if (c != '\n')
                command += c == '@' ? listPath : std::string(1, c);
            else {
                // Plugged in again each run: an eject leaves the device held.
                WriteFile(treePath, row.tree ? row.tree : kDesk);
                RunBatchRemoval(command.c_str()), command.clear();
            }
        EXPECT_EQ(row.ejects, Ejects());
    }
}

}  // namespace
