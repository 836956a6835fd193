// Batch mode: the list file, its path on the command line, and the eject
// requests it leads to.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "devices/batch.h"
#include "tests/unit/desk.h"

namespace {

const char* kList = "C:\\lists\\eject.ini";

std::string Desk()
{
    return Node(10, 0, 0x6000, 0, kUsb, "-", "USB Mass Storage Device") +
           Node(11, 10, 0, 0, kDisk, "Kingfisher DataStick USB Device") +
           Node(12, 11, 0, 0, "-", "-", "Generic volume") +
           Node(20, 0, 0x6000, 0, kWpd, "Pocket Player 8GB") +
           Node(40, 0, 0x6000, 0, kCdrom, "Slim Optical Writer") +
           Node(50, 0, 0x6000, 0, kDisk, "Kingfisher Backup") +
           Node(60, 0, 0x6400, 10, kDisk, "Kingfisher Broken") +
           Node(70, 0, 0x6000, 0, kUsb, "Card Reader") + Node(71, 70, 0, 0, kDisk, "Card Reader Slot");
}

std::string Key(int k)
{
    char key[8];
    snprintf(key, sizeof key, "%02d", k);
    return key;
}

struct Batch : AppTest {
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_EQ(1, FakeDev_LoadText(Desk()));
    }

    void Entry(const std::string& key, const std::string& value, const std::string& file = kList)
    {
        g_fake.ini[file]["VANTRL/" + key] = value;
    }
    static std::vector<unsigned long> Ejected()
    {
        std::vector<unsigned long> ids;
        for (const std::string& line : FakeDev_Ejects()) {
            EXPECT_EQ(0u, line.find("EJECT ")) << line;
            ids.push_back(strtoul(line.c_str() + 6, 0, 10));
        }
        return ids;
    }
    // The keys asked for, each checked to come from the given file and section.
    static std::vector<std::string> KeysRead(const std::string& file = kList)
    {
        std::vector<std::string> keys;
        std::string head = file + "|VANTRL|";
        for (const std::string& read : g_fake.iniReads) {
            EXPECT_EQ(0u, read.find(head)) << read;
            keys.push_back(read.substr(head.size()));
        }
        return keys;
    }
};

typedef std::vector<unsigned long> Ids;
typedef std::vector<std::string> Keys;

TEST_F(Batch, APrefixEjectsEveryWorkingDeviceItNamesInTableOrder)
{
    Entry("00", "Kingfisher");
    RunBatchRemoval(kList);
    // 10 through its disk, 50 by its own name; 60 has a problem and a batch
    // run never lists such devices.
    EXPECT_EQ((Ids{10, 50}), Ejected());
    for (const std::string& line : FakeDev_Ejects())
        EXPECT_NE(std::string::npos, line.find("veto=none,none,0 flags=0")) << line;
    EXPECT_EQ(1u, FakeDev_Count("SetupDiGetClassDevsA")) << "no rescan between requests";
    EXPECT_EQ(nullptr, g_app->devices.table) << "table kept after the run";
    EXPECT_EQ(0, FakeDev_OpenSets());
}

TEST_F(Batch, ProblemDevicesStayEvenWhenTheMenuWouldListThem)
{
    g_app->HideInvalid = 0;
    Entry("00", "Kingfisher Broken");
    RunBatchRemoval(kList);
    EXPECT_TRUE(Ejected().empty());
}

TEST_F(Batch, AMatchBelowTheDeviceEjectsTheTopNodeOnce)
{
    Entry("00", "Generic");  // only the stick's volume
    Entry("01", "Card");     // the reader's own name and its slot below it
    RunBatchRemoval(kList);
    EXPECT_EQ((Ids{10, 70}), Ejected());
}

TEST_F(Batch, EveryMatchingEntryMakesItsOwnRequest)
{
    Entry("00", "Slim");
    Entry("01", "Pocket");
    Entry("02", "Pocket Player");
    RunBatchRemoval(kList);
    EXPECT_EQ((Ids{40, 20, 20}), Ejected());
    EXPECT_EQ(1u, FakeDev_Count("SetupDiGetClassDevsA"));
}

TEST_F(Batch, MatchingIsByteForByteFromTheStartOfAName)
{
    Entry("00", "slim");                    // case differs
    Entry("01", "Optical");                 // inside the name
    Entry("02", "Slim Optical Writer 2");   // longer than the name
    Entry("03", "Slim Optical Writer");     // the whole name
    Entry("04", "Kingfisher DataStick X");  // differs late, below a device
    RunBatchRemoval(kList);
    EXPECT_EQ((Ids{40}), Ejected());
}

TEST_F(Batch, TheListEndsAtTheFirstMissingKey)
{
    Entry("00", "Slim");
    Entry("01", "Pocket");
    Entry("03", "Card");
    RunBatchRemoval(kList);
    EXPECT_EQ((Keys{"00", "01", "02"}), KeysRead());
    EXPECT_EQ((Ids{40, 20}), Ejected());
}

TEST_F(Batch, AnEmptyFirstValueEndsTheListAtOnce)
{
    Entry("00", "");
    Entry("01", "Slim");
    RunBatchRemoval(kList);
    EXPECT_EQ((Keys{"00"}), KeysRead());
    EXPECT_TRUE(Ejected().empty());
}

TEST_F(Batch, ThirtyTwoKeysAreReadAndNoMore)
{
    for (int k = 0; k < 32; ++k)
        Entry(Key(k), "Slim");
    Entry("32", "Pocket");
    RunBatchRemoval(kList);
    Keys expected;
    for (int k = 0; k < 32; ++k)
        expected.push_back(Key(k));
    EXPECT_EQ(expected, KeysRead());
    EXPECT_EQ(Ids(32, 40), Ejected());
    EXPECT_EQ(1u, FakeDev_Count("SetupDiGetClassDevsA"));
}

TEST_F(Batch, AFullLengthValueIsComparedWhole)
{
    ASSERT_EQ(1, FakeDev_LoadText(Node(1, 0, 0x6000, 0, kDisk, "~255") + Node(2, 0, 0x6000, 0, kDisk, "~254")));
    Entry("00", std::string(255, 'L'));
    RunBatchRemoval(kList);
    // A cut value would be a prefix of the shorter name too.
    EXPECT_EQ((Ids{1}), Ejected());
}

TEST_F(Batch, AMissingListFileEjectsNothing)
{
    RunBatchRemoval("C:\\nowhere\\absent.ini");
    EXPECT_EQ((Keys{"00"}), KeysRead("C:\\nowhere\\absent.ini"));
    EXPECT_TRUE(Ejected().empty());
    EXPECT_EQ(nullptr, g_app->devices.table);
}

TEST_F(Batch, AQuotedPathWithBlanksIsReadWithoutItsQuotes)
{
    const std::string path = "C:\\My Lists\\eject me.ini";
    Entry("00", "Slim", path);
    RunBatchRemoval(("\"" + path + "\"  \t").c_str());
    EXPECT_EQ((Keys{"00", "01"}), KeysRead(path));
    EXPECT_EQ((Ids{40}), Ejected());
}

TEST_F(Batch, AnUnquotedPathWithBlanksIsTakenWhole)
{
    const std::string path = "C:\\My Lists\\eject me.ini";
    Entry("00", "Slim", path);
    RunBatchRemoval(path.c_str());
    EXPECT_EQ((Keys{"00", "01"}), KeysRead(path));
    EXPECT_EQ((Ids{40}), Ejected());
}

TEST_F(Batch, EmptyQuotesNameNoFile)
{
    RunBatchRemoval("\"\"");
    EXPECT_TRUE(g_fake.iniReads.empty());
    EXPECT_TRUE(Ejected().empty());
}

TEST_F(Batch, TheCommandLineMayHoldUpTo1023Characters)
{
    const std::string fits = "C:\\" + std::string(1023 - 7, 'd') + ".ini";
    ASSERT_EQ(1023u, fits.size());
    Entry("00", "Slim", fits);
    RunBatchRemoval(fits.c_str());
    EXPECT_EQ((Keys{"00", "01"}), KeysRead(fits));
    EXPECT_EQ((Ids{40}), Ejected());
}

TEST_F(Batch, A1024CharacterCommandLineIsRefused)
{
    const std::string tooLong = "C:\\" + std::string(1024 - 7, 'd') + ".ini";
    ASSERT_EQ(1024u, tooLong.size());
    Entry("00", "Slim", tooLong);
    RunBatchRemoval(tooLong.c_str());
    EXPECT_TRUE(g_fake.iniReads.empty());
    EXPECT_TRUE(Ejected().empty());
    EXPECT_EQ(nullptr, g_app->devices.table);
}

TEST_F(Batch, TheLimitCountsTheQuotesToo)
{
    // 1022 characters of path fit on their own, but not with two quotes.
    const std::string path = "C:\\" + std::string(1022 - 7, 'd') + ".ini";
    Entry("00", "Slim", path);
    RunBatchRemoval(("\"" + path + "\"").c_str());
    EXPECT_TRUE(g_fake.iniReads.empty());
    EXPECT_TRUE(Ejected().empty());

    // One character shorter, the quoted line is 1023 long and is accepted.
    const std::string shortPath = "C:\\" + std::string(1021 - 7, 'd') + ".ini";
    Entry("00", "Slim", shortPath);
    RunBatchRemoval(("\"" + shortPath + "\"").c_str());
    EXPECT_EQ((Keys{"00", "01"}), KeysRead(shortPath));
    EXPECT_EQ((Ids{40}), Ejected());
}

TEST(IniFile, SetPathKeepsWhatFitsAndRefusesTheRest)
{
    INIFILE list;
    EXPECT_EQ(0, list.SetPath(nullptr));
    EXPECT_STREQ("", list.path);

    const std::string fits(1023, 'p');
    ASSERT_EQ(1, list.SetPath(fits.c_str()));
    EXPECT_EQ(fits, list.path);

    const std::string tooLong(1024, 'q');
    EXPECT_EQ(0, list.SetPath(tooLong.c_str()));
    EXPECT_EQ(fits, list.path) << "a refused path must not replace the last one";

    ASSERT_EQ(1, list.SetPath("short.ini"));
    EXPECT_STREQ("short.ini", list.path);
}

TEST(IniFile, UnquoteTakesWhatLiesBetweenAPairOfQuotes)
{
    struct Case {
        const char* line;
        const char* path;
    } cases[] = {
        {"\"C:\\a b\\l.ini\"", "C:\\a b\\l.ini"},
        {"\"C:\\a b\\l.ini\" \t ", "C:\\a b\\l.ini"},  // blanks after the closing quote
        {"C:\\a b\\l.ini", "C:\\a b\\l.ini"},
        {"\"C:\\a b\\l.ini", "\"C:\\a b\\l.ini"},  // no closing quote
        {"C:\\a b\\l.ini\"", "C:\\a b\\l.ini\""},  // no opening quote
        {" \"C:\\l.ini\"", " \"C:\\l.ini\""},      // does not begin with the quote
        {"\"", "\""},
        {"\"\"", ""},
        {"\"x\"", "x"},
        {"", ""},
    };
    for (const Case& c : cases) {
        INIFILE list;
        ASSERT_EQ(1, list.SetPath(c.line));
        list.Unquote();
        EXPECT_STREQ(c.path, list.path) << "line [" << c.line << "]";
    }
}

TEST(IniFile, UnquoteLeavesNoStaleBytesBehind)
{
    INIFILE list;
    ASSERT_EQ(1, list.SetPath("\"abc\""));
    list.Unquote();
    EXPECT_STREQ("abc", list.path);
    for (size_t k = 3; k < sizeof list.path; ++k)
        ASSERT_EQ('\0', list.path[k]) << "at " << k;
}

TEST(IniFile, DestructionClearsThePath)
{
    alignas(INIFILE) unsigned char storage[sizeof(INIFILE)];
    INIFILE* list = new (storage) INIFILE;
    ASSERT_EQ(1, list->SetPath(std::string(1023, 's').c_str()));
    const size_t offset = (size_t)((unsigned char*)list->path - storage);
    list->~INIFILE();
    for (size_t k = 0; k < INIPATH_SIZE; ++k)
        ASSERT_EQ(0, storage[offset + k]) << "byte " << k << " of the path survived";
}

}  // namespace
