// The About text from an arbitrary version block: no, one or several
// translations, the strings missing, empty, unterminated or huge, and the
// block cut short or its lengths overwritten.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "settings/win32ver.h"
#include "tests/fakes/fakewin.h"
#include "tests/fuzz/fuzzdev.h"

namespace {

// The block in the layout the ANSI version functions read: each node is
// WORD wLength (children included), WORD wValueLength, the key with its
// terminator, padding to 4 bytes, the value, padding, then its children.
std::string g_block;
bool g_readFails;

std::string Text(Reader& in, size_t length)
{
    std::string s;
    for (size_t k = 0; k < length; ++k)
        s += in.left ? (char)in.Byte() : 'L';
    return s;
}

void Pad(std::string& s) { s.append((4 - s.size() % 4) % 4, '\0'); }

std::string Node(const std::string& key, const std::string& value, WORD valueLength,
                 const std::string& children)
{
    std::string s(4, '\0');
    s += key;
    s += '\0';
    Pad(s);
    s += value;
    Pad(s);
    s += children;
    WORD length = (WORD)(s.size() > 0xFFFF ? 0xFFFF : s.size());
    memcpy(&s[0], &length, 2);
    memcpy(&s[2], &valueLength, 2);
    return s;
}

size_t Align(size_t offset) { return (offset + 3) & ~(size_t)3; }

int SameKey(const char* key, size_t keyLength, const std::string& part)
{
    if (keyLength != part.size())
        return 0;
    for (size_t k = 0; k < keyLength; ++k) {
        char a = key[k], b = part[k];
        if ((a >= 'a' && a <= 'z' ? a - 32 : a) != (b >= 'a' && b <= 'z' ? b - 32 : b))
            return 0;
    }
    return 1;
}

// Like the system's walk, but never beyond the block or a node's own
// length: the value handed back lies inside the block, as stored, with no
// terminator added.
BOOL Find(const char* block, size_t size, const char* path, const char** data, UINT* length)
{
    size_t node = 0, end = size;
    for (const char* p = path;;) {
        if (node + 4 > end)
            return FALSE;
        WORD nodeLength, valueLength;
        memcpy(&nodeLength, block + node, 2);
        memcpy(&valueLength, block + node + 2, 2);
        if (node + nodeLength < end)
            end = node + nodeLength;
        if (node + 4 > end)
            return FALSE;
        size_t keyLength = strnlen(block + node + 4, end - node - 4);
        size_t value = Align(node + 4 + keyLength + 1);
        if (value > end)
            return FALSE;
        while (*p == '\\')
            ++p;
        if (!*p) {
            *data = block + value;
            *length = (UINT)(valueLength < end - value ? valueLength : end - value);
            return TRUE;
        }
        const char* stop = strchr(p, '\\');
        std::string part(p, stop ? (size_t)(stop - p) : strlen(p));
        p += part.size();
        size_t child = Align(value + valueLength);
        for (;;) {
            if (child + 4 > end)
                return FALSE;
            WORD childLength;
            memcpy(&childLength, block + child, 2);
            if (!childLength)
                return FALSE;
            size_t childEnd = child + childLength < end ? child + childLength : end;
            const char* key = block + child + 4;
            size_t room = childEnd > child + 4 ? childEnd - child - 4 : 0;
            if (SameKey(key, strnlen(key, room), part))
                break;
            child = Align(child + childLength);
        }
        node = child;
    }
}

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
    std::string varInfo = how & 1 ? Node("VarFileInfo", "", 0, Node("Translation", pairs,
                                                                    (WORD)pairs.size(), ""))
                                  : "";

    // The string table: keyed by the first pair, or by whatever the input says.
    WORD first[2] = {0, 0};
    memcpy(first, pairs.data(), pairs.size() < 4 ? pairs.size() : 4);
    char key[16];
    snprintf(key, sizeof key, "%04x%04x", first[0], first[1]);
    uint8_t keyHow = in.Byte();
    std::string stringKey = keyHow & 1 ? Text(in, keyHow >> 4) : key;
    std::string strings;
    for (int n = in.Byte() % 6; n > 0; --n) {
        uint8_t which = in.Byte();
        std::string name = which % 4 < 3 ? kNames[which % 4] : Text(in, which >> 4);
        size_t length = in.Word() % 3000;
        std::string text = Text(in, length);
        // Terminator counted, stored but not counted, or missing.
        int ending = (which >> 2) % 3;
        if (ending < 2)
            text += '\0';
        strings += Node(name, text, (WORD)(ending == 0 ? text.size() : length), "");
    }
    std::string stringInfo = Node("StringFileInfo", "", 0, Node(stringKey, "", 0, strings));
    std::string fixed = Text(in, in.Byte() % 60);
    g_block = Node("VS_VERSION_INFO", fixed, (WORD)fixed.size(),
                   how & 0x20 ? varInfo + stringInfo : stringInfo + varInfo);

    // A block cut short, or a length field overwritten.
    uint8_t harm = in.Byte();
    if (harm & 1)
        g_block.resize(in.Word() % (g_block.size() + 1));
    if (harm & 2 && g_block.size() >= 2) {
        WORD word = in.Word();
        memcpy(&g_block[in.Word() % (g_block.size() - 1)], &word, 2);
    }
    g_readFails = (harm & 0x1C) == 0x1C;
}

// What the box must show for one string, read from the block itself.
std::string Expected(const WIN32VER& v, const char* name, size_t size)
{
    char path[VERSION_QUERY_SIZE];
    snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", v.language, v.codePage, name);
    const char* data = 0;
    UINT length = 0;
    if (!Find((const char*)v.block, size, path, &data, &length))
        return "(error)";
    if (!length || !*data)
        return "(null)";
    return std::string(data, strnlen(data, (const char*)v.block + size - data));
}

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

const char* kFile = "C:\\v.exe";

}  // namespace

extern "C" {

DWORD GetFileVersionInfoSizeA(LPCSTR, LPDWORD handle)
{
    *handle = 0;
    return (DWORD)g_block.size();
}

BOOL GetFileVersionInfoA(LPCSTR, DWORD, DWORD size, LPVOID data)
{
    if (g_readFails)
        return FALSE;
    memcpy(data, g_block.data(), size < g_block.size() ? size : g_block.size());
    return TRUE;
}

BOOL VerQueryValueA(const void* block, LPCSTR subBlock, LPVOID* data, UINT* length)
{
    const char* found = 0;
    if (!Find((const char*)block, g_block.size(), subBlock, &found, length))
        return FALSE;
    *data = (void*)found;
    return TRUE;
}

}  // extern "C"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in = {data, size};
    BuildBlock(in);

    const char* pair = 0;
    UINT pairLength = 0;
    bool loads = !g_block.empty() && !g_readFails &&
                 Find(g_block.data(), g_block.size(), "\\VarFileInfo\\Translation", &pair,
                      &pairLength) &&
                 pairLength == 4;
    WIN32VER v;
    Check(v.LoadFromFile(kFile) == (loads ? 1 : 0));
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
    std::string expected = Expected(v, kNames[0], g_block.size()) + " (x86)\r\nVersion " +
                           Expected(v, kNames[1], g_block.size()) + "\r\n\r\n" +
                           Expected(v, kNames[2], g_block.size());
    Check(std::string(text, length) == expected.substr(0, ABOUT_TEXT_SIZE - 1));

    // Any name, even one longer than the query path holds.
    std::string name = Text(in, in.Word() % 400);
    const char* answer = v.QueryString(name.c_str());
    Check(answer != 0);
    Check(strcmp(answer, "(error)") == 0 || strcmp(answer, "(null)") == 0 ||
          (answer >= (const char*)v.block && answer < (const char*)v.block + g_block.size()));
    Check(strnlen(answer, 1 << 20) < (1 << 20));
    return 0;
}
