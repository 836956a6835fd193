// The About text from a version block, over a stand-in for version.dll.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "settings/win32ver.h"
#include "tests/fakes/fakewin.h"

namespace {

// A file's version block as the stand-in serves it: sub-block path to value.
typedef std::map<std::string, std::string> Block;
std::map<std::string, Block> g_files;
bool g_cutEnd;  // the block ends inside its last value: no terminator, no end record

// Serialised as [path length][path][value length][value] records, so that a
// query hands back a pointer into the caller's copy, as Windows does.
std::string Serialise(const Block& block)
{
    std::string out;
    for (auto v = block.rbegin(); v != block.rend(); ++v) {  // "FileDescription" last
        for (const std::string* s : {&v->first, &v->second}) {
            UINT n = (UINT)s->size();
            out.append((const char*)&n, sizeof n);
            out += *s;
            out += '\0';
        }
    }
    if (g_cutEnd) {
        out.pop_back();
        return out;
    }
    return out.append(sizeof(UINT), '\0');  // a zero path length ends the block
}

std::string Translation(std::vector<WORD> words)
{
    return std::string((const char*)words.data(), words.size() * sizeof(WORD));
}

}  // namespace

extern "C" {

DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle)
{
    *handle = 0;
    auto f = g_files.find(path);
    return f == g_files.end() ? 0 : (DWORD)Serialise(f->second).size();
}

BOOL GetFileVersionInfoA(LPCSTR path, DWORD, DWORD size, LPVOID data)
{
    auto f = g_files.find(path);
    if (f == g_files.end())
        return FALSE;
    std::string s = Serialise(f->second);
    memcpy(data, s.data(), s.size() < size ? s.size() : size);
    return TRUE;
}

BOOL VerQueryValueA(const void* block, LPCSTR subBlock, LPVOID* data, UINT* length)
{
    const char* p = (const char*)block;
    for (;;) {
        UINT n;
        memcpy(&n, p, sizeof n);
        if (!n)
            return FALSE;
        std::string path(p + sizeof n, n);
        p += sizeof n + n + 1;
        memcpy(&n, p, sizeof n);
        if (path == subBlock) {
            *data = (void*)(p + sizeof n);
            *length = n;
            return TRUE;
        }
        p += sizeof n + n + 1;
    }
}

}  // extern "C"

namespace {

const char* kFile = "C:\\v.exe";
const char* kPrefix = "\\StringFileInfo\\040904e4\\";

struct AboutText : ::testing::Test {
    void SetUp() override
    {
        FakeWin_Reset();
        g_files.clear();
        g_cutEnd = false;
        g_files[kFile]["\\VarFileInfo\\Translation"] = Translation({0x0409, 0x04e4});
    }
    void Set(const char* name, const char* value) { Set(name, value, value ? strlen(value) : 0); }
    void Set(const char* name, const char* value, size_t length)
    {
        if (value)
            g_files[kFile][std::string(kPrefix) + name] = std::string(value, length);
        else
            g_files[kFile].erase(std::string(kPrefix) + name);
    }
    std::string Text()
    {
        WIN32VER v;
        if (!v.LoadFromFile(kFile))
            return "(no box)";
        char text[ABOUT_TEXT_SIZE + 8];
        memset(text, 'x', sizeof text);
        memset(text, 0, ABOUT_TEXT_SIZE);
        v.FormatAboutText(text);
        EXPECT_EQ('x', text[ABOUT_TEXT_SIZE]) << "written past the buffer";
        return text;
    }
};

TEST_F(AboutText, FourLinesWithFallBacksForMissingAndEmptyStrings)
{
    struct Row {
        const char* description;
        std::string version;
        const char *copyright, *expected;
    } rows[] = {
        {"Tool", "1.2.0.3", "(C) Someone", "Tool (x86)\r\nVersion 1.2.0.3\r\n\r\n(C) Someone"},
        {"Tool", "1.0", nullptr, "Tool (x86)\r\nVersion 1.0\r\n\r\n(error)"},
        {"Tool", "", "c", "Tool (x86)\r\nVersion (null)\r\n\r\nc"},
        {"Tool", std::string(1, '\0'), "c", "Tool (x86)\r\nVersion (null)\r\n\r\nc"},  // terminator counted
        {nullptr, "%s%n", "c", "(error) (x86)\r\nVersion %s%n\r\n\r\nc"},  // texts are no formats
    };
    for (const Row& r : rows) {
        Set("FileDescription", r.description);
        Set("FileVersion", r.version.data(), r.version.size());
        Set("LegalCopyright", r.copyright);
        EXPECT_EQ(r.expected, Text());
    }
}

TEST_F(AboutText, ATextTooLongForTheBufferIsCutAt1023)
{
    Set("FileDescription", std::string(2000, 'D').c_str());
    Set("FileVersion", "1");
    Set("LegalCopyright", "c");
    EXPECT_EQ(std::string(1023, 'D'), Text());
}

TEST_F(AboutText, ATextLeftUnterminatedAtTheBlocksEndIsReadNoFurther)
{
    Set("FileDescription", "Tool");
    Set("FileVersion", "1");
    Set("LegalCopyright", "c");
    g_cutEnd = true;
    EXPECT_EQ("Tool (x86)\r\nVersion 1\r\n\r\nc", Text());
}

TEST_F(AboutText, NoBoxUnlessTheTranslationIsExactlyOnePair)
{
    Set("FileDescription", "Tool");
    Block& b = g_files[kFile];
    b["\\VarFileInfo\\Translation"] = Translation({0x0409, 0x04e4, 0x0411, 0x03a4});
    EXPECT_EQ("(no box)", Text());
    b["\\VarFileInfo\\Translation"] = Translation({0x0409});
    EXPECT_EQ("(no box)", Text());
    b.erase("\\VarFileInfo\\Translation");
    EXPECT_EQ("(no box)", Text());

    WIN32VER v;
    EXPECT_EQ(0, v.LoadFromFile("C:\\none.exe"));
    EXPECT_EQ(0, v.LoadFromFile(nullptr));
    EXPECT_EQ(0, v.language);
    EXPECT_STREQ("(error)", v.QueryString("FileVersion")) << "nothing loaded";
}

TEST_F(AboutText, TheModuleIsReadThroughItsFilePath)
{
    g_fake.moduleFileName = kFile;
    Set("FileVersion", "9");
    WIN32VER v;
    ASSERT_EQ(1, v.LoadFromModule(GetModuleHandleA(0)));
    EXPECT_EQ(0x0409, v.language);
    EXPECT_EQ(0x04e4, v.codePage);
    EXPECT_STREQ("9", v.QueryString("FileVersion"));
    g_fake.moduleFileName = "";
    EXPECT_EQ(0, v.LoadFromModule(GetModuleHandleA(0)));
}

}  // namespace
