// Batch mode: the list file, its path on the command line, and the eject
// requests it leads to.
#include <cstdlib>
#include <cstring>
#include <new>
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
           Node(70, 0, 0x6000, 0, kUsb, "Card Reader") +
           Node(71, 70, 0, 0, kDisk, "Card Reader Slot");
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
            EXPECT_NE(std::string::npos, line.find(" veto=none,none,0 flags=0 ")) << line;
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

// Each row on a fresh desk: the list's entries, the devices ejected in
// order, the keys read. Problem devices are shown in the menu, yet a batch
// run never lists them.
TEST_F(Batch, TheListDecidesWhatIsEjected)
{
    struct Row {
        const char* what;
        std::vector<std::pair<const char*, const char*>> entries;
        Ids ejected;
        Keys read;
    } rows[] = {
        // clang-format off
        // 10 through its disk, 50 by its own name; 60 has a problem.
        {"a prefix: every working device it names", {{"00", "Kingfisher"}}, {10, 50}, {"00", "01"}},
        {"a problem device", {{"00", "Kingfisher Broken"}}, {}, {"00", "01"}},
        // Only the stick's volume; the reader's own name and its slot below it.
        {"a match below ejects the top node once", {{"00", "Generic"}, {"01", "Card"}}, {10, 70}, {"00", "01", "02"}},
        {"every matching entry its own request", {{"00", "Slim"}, {"01", "Pocket"}, {"02", "Pocket Player"}},
         {40, 20, 20}, {"00", "01", "02", "03"}},
        // Case, inside the name, longer than the name, the whole name, a late difference below a device.
        {"byte for byte from the start of a name",
         {{"00", "slim"}, {"01", "Optical"}, {"02", "Slim Optical Writer 2"}, {"03", "Slim Optical Writer"},
          {"04", "Kingfisher DataStick X"}},
         {40}, {"00", "01", "02", "03", "04", "05"}},
        {"the list ends at the first missing key", {{"00", "Slim"}, {"01", "Pocket"}, {"03", "Card"}}, {40, 20},
         {"00", "01", "02"}},
        {"an empty first value ends it at once", {{"00", ""}, {"01", "Slim"}}, {}, {"00"}},
        // clang-format on
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Fresh();
        g_app->HideInvalid = 0;
        for (const auto& e : r.entries)
            Entry(e.first, e.second);
        RunBatchRemoval(kList);
        EXPECT_EQ(r.ejected, Ejected());
        EXPECT_EQ(r.read, KeysRead());
        EXPECT_EQ(1u, FakeDev_Count("SetupDiGetClassDevsA")) << "no rescan between requests";
        EXPECT_EQ(nullptr, g_app->devices.table) << "table kept after the run";
        EXPECT_EQ(0, FakeDev_OpenSets());
    }
}

TEST_F(Batch, ThirtyTwoKeysAreReadAndNoMore)
{
    Keys expected;
    for (int k = 0; k < 32; ++k) {
        expected.push_back((k < 10 ? "0" : "") + std::to_string(k));
        Entry(expected.back(), "Slim");
    }
    Entry("32", "Pocket");
    RunBatchRemoval(kList);
    EXPECT_EQ(expected, KeysRead());
    EXPECT_EQ(Ids(32, 40), Ejected());
    EXPECT_EQ(1u, FakeDev_Count("SetupDiGetClassDevsA"));
}

TEST_F(Batch, AFullLengthValueIsComparedWhole)
{
    ASSERT_EQ(1, FakeDev_LoadText(Node(1, 0, 0x6000, 0, kDisk, "~255") +
                                  Node(2, 0, 0x6000, 0, kDisk, "~254")));
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

// The list file's path as the command line gives it, and the file read:
// none when the line is refused. A line holds at most 1023 characters,
// quotes included.
TEST_F(Batch, TheListPathOnTheCommandLine)
{
    const std::string spaced = "C:\\My Lists\\eject me.ini";
    auto path = [](size_t length) { return "C:\\" + std::string(length - 7, 'd') + ".ini"; };
    ASSERT_EQ(1023u, path(1023).size());
    struct Row {
        std::string line, file;
        bool read;
    } rows[] = {
        {"\"" + spaced + "\"  \t", spaced, true},  // read without its quotes
        {spaced, spaced, true},                    // unquoted, blanks and all
        {"\"\"", "", false},
        {path(1023), path(1023), true},
        {path(1024), path(1024), false},
        {"\"" + path(1022) + "\"", path(1022), false},
        {"\"" + path(1021) + "\"", path(1021), true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line.substr(0, 40) + "... " + std::to_string(r.line.size()));
        Fresh();
        Entry("00", "Slim", r.file);
        RunBatchRemoval(r.line.c_str());
        EXPECT_EQ(r.read ? Keys({"00", "01"}) : Keys(),
                  r.read ? KeysRead(r.file) : g_fake.iniReads);
        EXPECT_EQ(r.read ? Ids({40}) : Ids(), Ejected());
        EXPECT_EQ(nullptr, g_app->devices.table);
    }
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
        {"\"abc\"", "abc"},
        {"", ""},
    };
    for (const Case& c : cases) {
        INIFILE list;
        ASSERT_EQ(1, list.SetPath(c.line));
        list.Unquote();
        EXPECT_STREQ(c.path, list.path) << "line [" << c.line << "]";
        for (size_t k = strlen(c.path); k < sizeof list.path; ++k)
            ASSERT_EQ('\0', list.path[k]) << "line [" << c.line << "]: a stale byte at " << k;
    }
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
