// The About text from an arbitrary version block: no, one or several
// translations, the strings missing, empty, unterminated or huge, and the
// block cut short or its lengths overwritten.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "settings/win32ver.h"
#include "tests/fakes/fakewin.h"
#include "tests/fakes/verblock.h"
#include "tests/fuzz/fuzzdev.h"

namespace {

const char* const kNames[3] = {"FileDescription", "FileVersion", "LegalCopyright"};

void BuildBlock(Reader& in)
{
    // Translation: absent, or 0 to 3 pairs with perhaps a stray half pair.
    uint8_t how = in.Byte();
    std::string pairs;
    for (int k = (how >> 1) % 4; k > 0; --k)
        for (int w = 0; w < 2; ++w) {
            WORD word = how & 0x10 ? in.Word() : w ? 0x04e4 : 0x0409;
            pairs.append((const char*)&word, 2);
        }
    if (how & 8)
        pairs.append(2, '\x11');
    std::string varInfo = how & 1 ? VerNode("VarFileInfo", "", 0,
                                            VerNode("Translation", pairs, (WORD)pairs.size(), ""))
                                  : "";

    // The string table: keyed by the first pair, or by whatever the input says.
    WORD first[2] = {0, 0};
    memcpy(first, pairs.data(), pairs.size() < 4 ? pairs.size() : 4);
    char key[16];
    snprintf(key, sizeof key, "%04x%04x", first[0], first[1]);
    uint8_t keyHow = in.Byte();
    std::string stringKey = keyHow & 1 ? in.Text(keyHow >> 4) : key;
    std::string strings;
    for (int n = in.Byte() % 6; n > 0; --n) {
        uint8_t which = in.Byte();
        std::string name = which % 4 < 3 ? kNames[which % 4] : in.Text(which >> 4);
        size_t length = in.Word() % 3000;
        std::string text = in.Text(length);
        // Terminator counted, stored but not counted, or missing.
        int ending = (which >> 2) % 3;
        if (ending < 2)
            text += '\0';
        strings += VerNode(name, text, (WORD)(ending == 0 ? text.size() : length), "");
    }
    std::string stringInfo = VerNode("StringFileInfo", "", 0, VerNode(stringKey, "", 0, strings));
    std::string fixed = in.Text(in.Byte() % 60);
    g_verBlock = VerNode("VS_VERSION_INFO", fixed, (WORD)fixed.size(),
                         how & 0x20 ? varInfo + stringInfo : stringInfo + varInfo);

    // A block cut short, or a length field overwritten.
    uint8_t harm = in.Byte();
    if (harm & 1)
        g_verBlock.resize(in.Word() % (g_verBlock.size() + 1));
    if (harm & 2 && g_verBlock.size() >= 2) {
        WORD word = in.Word();
        memcpy(&g_verBlock[in.Word() % (g_verBlock.size() - 1)], &word, 2);
    }
    g_verReadFails = (harm & 0x1C) == 0x1C;
}

// What the box must show for one string, read from the block itself.
std::string Expected(const WIN32VER& v, const char* name)
{
    char path[VERSION_QUERY_SIZE];
    snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", v.language, v.codePage, name);
    const char* data = 0;
    UINT length = 0;
    if (!VerFind((const char*)v.block, g_verBlock.size(), path, &data, &length))
        return "(error)";
    if (!length || !*data)
        return "(null)";
    return std::string(data, strnlen(data, (const char*)v.block + g_verBlock.size() - data));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in = {data, size};
    BuildBlock(in);

    const char* pair = 0;
    UINT pairLength = 0;
    bool loads = !g_verBlock.empty() && !g_verReadFails &&
                 VerFind(g_verBlock.data(), g_verBlock.size(), "\\VarFileInfo\\Translation", &pair,
                         &pairLength) &&
                 pairLength == 4;
    WIN32VER v;
    Check(v.LoadFromFile(kVerFile) == (loads ? 1 : 0));
    if (!loads)
        return 0;

    char text[ABOUT_TEXT_SIZE + 16];
    memset(text, 'x', sizeof text);
    memset(text, 0, ABOUT_TEXT_SIZE);
    v.FormatAboutText(text);
    for (size_t k = ABOUT_TEXT_SIZE; k < sizeof text; ++k)
        Check(text[k] == 'x');
    size_t length = strnlen(text, ABOUT_TEXT_SIZE);
    Check(length <= ABOUT_TEXT_SIZE - 1);
    std::string expected = Expected(v, kNames[0]) + " (x86)\r\nVersion " + Expected(v, kNames[1]) +
                           "\r\n\r\n" + Expected(v, kNames[2]);
    Check(std::string(text, length) == expected.substr(0, ABOUT_TEXT_SIZE - 1));

    // Any name, even one longer than the query path holds.
    std::string name = in.Text(in.Word() % 400);
    const char* answer = v.QueryString(name.c_str());
    Check(answer != 0);
    Check(strcmp(answer, "(error)") == 0 || strcmp(answer, "(null)") == 0 ||
          (answer >= (const char*)v.block && answer < (const char*)v.block + g_verBlock.size()));
    Check(strnlen(answer, 1 << 20) < (1 << 20));
    return 0;
}
