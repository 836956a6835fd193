// The About text from a version block, over a stand-in for version.dll.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "settings/win32ver.h"
#include "tests/fakes/fakewin.h"
#include "tests/fakes/verblock.h"

namespace {

// The strings by name, each stored with its terminator, not counted; the
// translation as raw words, none for no VarFileInfo.
std::map<std::string, std::string> g_strings;
std::string g_translation;
bool g_cutEnd;  // the block ends inside its last value: no terminator, no padding

void Build()
{
    std::string strings;
    for (const auto& s : g_strings)
        strings += VerNode(s.first, s.second + '\0', (WORD)s.second.size(), "");
    std::string var = VerNode("Translation", g_translation, (WORD)g_translation.size(), "");
    var = g_translation.empty() ? "" : VerNode("VarFileInfo", "", 0, var);
    strings = VerNode("StringFileInfo", "", 0, VerNode("040904e4", "", 0, strings));
    g_verBlock = VerNode("VS_VERSION_INFO", "", 0, var + strings);
    while (g_cutEnd && g_verBlock.back() == '\0')
        g_verBlock.pop_back();
}

std::string Translation(std::vector<WORD> words)
{
    return std::string((const char*)words.data(), words.size() * sizeof(WORD));
}

struct AboutText : ::testing::Test {
    void SetUp() override
    {
        FakeWin_Reset();
        g_strings.clear();
        g_cutEnd = false;
        g_translation = Translation({0x0409, 0x04e4});
    }
    void Set(const char* name, const char* value) { Set(name, value, value ? strlen(value) : 0); }
    void Set(const char* name, const char* value, size_t length)
    {
        if (value)
            g_strings[name] = std::string(value, length);
        else
            g_strings.erase(name);
    }
    std::string Text()
    {
        Build();
        WIN32VER v;
        if (!v.LoadFromFile(kVerFile))
            return "(no box)";
        char text[ABOUT_TEXT_SIZE + 8];
        memset(text, 'x', sizeof text);
        memset(text, 0, ABOUT_TEXT_SIZE);
        v.FormatAboutText(text);
        EXPECT_EQ('x', text[ABOUT_TEXT_SIZE]) << "written past the buffer";
        return text;
    }
};

// The long text is cut at 1023; a block that ends inside its last text,
// without its terminator, is read no further.
TEST_F(AboutText, FourLinesWithFallBacksForMissingAndEmptyStrings)
{
    const std::string longText(2000, 'D'), cut(1023, 'D');
    struct Row {
        const char* description;
        std::string version;
        const char *copyright, *expected;
        bool cutEnd = false;
    } rows[] = {
        {"Tool", "1.2.0.3", "(C) Someone", "Tool (x86)\r\nVersion 1.2.0.3\r\n\r\n(C) Someone"},
        {"Tool", "1.0", nullptr, "Tool (x86)\r\nVersion 1.0\r\n\r\n(error)"},
        {"Tool", "", "c", "Tool (x86)\r\nVersion (null)\r\n\r\nc"},
        {"Tool", std::string(1, '\0'), "c",
         "Tool (x86)\r\nVersion (null)\r\n\r\nc"},                         // terminator counted
        {nullptr, "%s%n", "c", "(error) (x86)\r\nVersion %s%n\r\n\r\nc"},  // texts are no formats
        {longText.c_str(), "1", "c", cut.c_str()},
        {"Tool", "1", "c", "Tool (x86)\r\nVersion 1\r\n\r\nc", true},
    };
    for (const Row& r : rows) {
        Set("FileDescription", r.description);
        Set("FileVersion", r.version.data(), r.version.size());
        Set("LegalCopyright", r.copyright);
        g_cutEnd = r.cutEnd;
        EXPECT_EQ(r.expected, Text());
    }
}

TEST_F(AboutText, NoBoxUnlessTheTranslationIsExactlyOnePair)
{
    Set("FileDescription", "Tool");
    for (const std::string& words :
         {Translation({0x0409, 0x04e4, 0x0411, 0x03a4}), Translation({0x0409}), std::string()}) {
        g_translation = words;
        EXPECT_EQ("(no box)", Text()) << words.size() << " bytes of translation";
    }

    WIN32VER v;
    EXPECT_EQ(0, v.LoadFromFile("C:\\none.exe"));
    EXPECT_EQ(0, v.LoadFromFile(nullptr));
    EXPECT_EQ(0, v.language);
    EXPECT_STREQ("(error)", v.QueryString("FileVersion")) << "nothing loaded";
}

TEST_F(AboutText, TheModuleIsReadThroughItsFilePath)
{
    g_fake.moduleFileName = kVerFile;
    Set("FileVersion", "9");
    Build();
    WIN32VER v;
    ASSERT_EQ(1, v.LoadFromModule(GetModuleHandleA(0)));
    EXPECT_EQ(0x0409, v.language);
    EXPECT_EQ(0x04e4, v.codePage);
    EXPECT_STREQ("9", v.QueryString("FileVersion"));
    g_fake.moduleFileName = "";
    EXPECT_EQ(0, v.LoadFromModule(GetModuleHandleA(0)));
}

}  // namespace
