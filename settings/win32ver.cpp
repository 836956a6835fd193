#include "settings/win32ver.h"

#include <cstdio>
#include <cstring>
#include <new>

WIN32VER::WIN32VER() : block(0), language(0), codePage(0) {}

WIN32VER::~WIN32VER() { Release(); }

void WIN32VER::Release()
{
    if (block) {
        delete[] static_cast<char*>(block);
        block = 0;
    }
    language = 0;
    codePage = 0;
}

int WIN32VER::LoadFromModule(HMODULE module)
{
    char path[VERSION_PATH_SIZE];
    memset(path, 0, sizeof path);
    if (!GetModuleFileNameA(module, path, VERSION_PATH_SIZE - 1))
        return 0;
    return LoadFromFile(path);
}

int WIN32VER::LoadFromFile(const char* path)
{
    Release();
    if (!path)
        return 0;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (!size || size == 0xFFFFFFFF)
        return 0;
    // One zero byte past the block ends a text the file left unterminated
    // at the very end, before the About text reads it as a C string.
    block = new (std::nothrow) char[size + 1]();
    if (!block)
        return 0;
    if (!GetFileVersionInfoA(path, handle, size, block))
        return 0;
    void* data = 0;
    UINT length = 0;
    // Exactly one pair: a program that lists two has no one string table
    // to show.
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &data, &length) || length != 4)
        return 0;
    WORD pair[2];
    memcpy(pair, data, sizeof pair);
    language = pair[0];
    codePage = pair[1];
    return 1;
}

const char* WIN32VER::QueryString(const char* name)
{
    if (!block)
        return "(error)";
    char query[VERSION_QUERY_SIZE];
    memset(query, 0, sizeof query);
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", language, codePage, name);
    void* data = 0;
    UINT length = 0;
    if (!VerQueryValueA(block, query, &data, &length) || !data)
        return "(error)";
    // Resource compilers differ: an empty string may be stored with its
    // terminator counted, so an empty text is as empty as a zero length.
    if (length == 0 || !*(const char*)data)
        return "(null)";
    return (const char*)data;
}

void WIN32VER::FormatAboutText(char* buffer)
{
    if (!buffer || !block)
        return;
    // snprintf cuts a text longer than the buffer and always terminates it.
    snprintf(buffer, ABOUT_TEXT_SIZE, "%s (%s)\r\nVersion %s\r\n\r\n%s",
             QueryString("FileDescription"), "x86", QueryString("FileVersion"),
             QueryString("LegalCopyright"));
}
