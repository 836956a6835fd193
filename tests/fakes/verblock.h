// A stand-in for the three version.dll functions over one file's version
// block, in the layout the ANSI functions read: each node is WORD wLength
// (children included), WORD wValueLength, the key with its terminator,
// padding to 4 bytes, the value, padding, then its children. The functions
// are defined here: include this in one file of a program.
#ifndef VANTREL_TESTS_VERBLOCK_H
#define VANTREL_TESTS_VERBLOCK_H

#include <algorithm>
#include <cstring>
#include <string>

#include "app/winlayer.h"

inline const char* const kVerFile = "C:\\v.exe";  // the one file that has a block
inline std::string g_verBlock;
inline bool g_verReadFails;

inline void VerPad(std::string& s) { s.append((4 - s.size() % 4) % 4, '\0'); }

inline std::string VerNode(const std::string& key, const std::string& value, WORD valueLength,
                           const std::string& children)
{
    std::string s = std::string(4, '\0') + key + '\0';
    VerPad(s);
    s += value;
    VerPad(s);
    s += children;
    WORD length = (WORD)(s.size() > 0xFFFF ? 0xFFFF : s.size());
    memcpy(&s[0], &length, 2);
    memcpy(&s[2], &valueLength, 2);
    return s;
}

inline size_t VerAlign(size_t offset) { return (offset + 3) & ~(size_t)3; }

inline char VerUpper(char c) { return c >= 'a' && c <= 'z' ? (char)(c - 32) : c; }

inline bool VerSameKey(const char* key, size_t keyLength, const std::string& part)
{
    return keyLength == part.size() &&
           std::equal(part.begin(), part.end(), key,
                      [](char a, char b) { return VerUpper(a) == VerUpper(b); });
}

// Like the system's walk, but never beyond the block or a node's own
// length: the value handed back lies inside the block, as stored, with no
// terminator added.
inline BOOL VerFind(const char* block, size_t size, const char* path, const char** data,
                    UINT* length)
{
    size_t node = 0, end = size;  // end: where the node's parent ends
    std::string part;             // the key wanted; the root's is not compared
    for (const char* p = path;;) {
        if (node + 4 > end)
            return FALSE;
        WORD nodeLength, valueLength;
        memcpy(&nodeLength, block + node, 2);
        memcpy(&valueLength, block + node + 2, 2);
        size_t nodeEnd = node + nodeLength < end ? node + nodeLength : end;
        const char* key = block + node + 4;
        size_t keyLength = strnlen(key, nodeEnd > node + 4 ? nodeEnd - node - 4 : 0);
        if (node && !VerSameKey(key, keyLength, part)) {
            if (!nodeLength)
                return FALSE;
            node = VerAlign(node + nodeLength);  // the next sibling
            continue;
        }
        size_t value = VerAlign(node + 4 + keyLength + 1);
        if (node + 4 > nodeEnd || value > nodeEnd)
            return FALSE;
        p += strspn(p, "\\");
        if (!*p) {
            *data = block + value;
            *length = (UINT)(valueLength < nodeEnd - value ? valueLength : nodeEnd - value);
            return TRUE;
        }
        part.assign(p, strcspn(p, "\\"));
        p += part.size();
        node = VerAlign(value + valueLength);
        end = nodeEnd;
    }
}

extern "C" {

DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle)
{
    *handle = 0;
    return path && strcmp(path, kVerFile) == 0 ? (DWORD)g_verBlock.size() : 0;
}

BOOL GetFileVersionInfoA(LPCSTR path, DWORD, DWORD size, LPVOID data)
{
    if (g_verReadFails || !path || strcmp(path, kVerFile) != 0)
        return FALSE;
    memcpy(data, g_verBlock.data(), size < g_verBlock.size() ? size : g_verBlock.size());
    return TRUE;
}

BOOL VerQueryValueA(const void* block, LPCSTR subBlock, LPVOID* data, UINT* length)
{
    const char* found = 0;
    if (!VerFind((const char*)block, g_verBlock.size(), subBlock, &found, length))
        return FALSE;
    *data = (void*)found;
    return TRUE;
}

}  // extern "C"

#endif
