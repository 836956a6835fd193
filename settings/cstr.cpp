#include "settings/cstr.h"

#include <cstring>
#include <new>

CSTR::CSTR() : bufferSize(0), buffer(0) {}

CSTR::~CSTR() { Clear(); }

void CSTR::Clear()
{
    delete[] buffer;
    buffer = 0;
    bufferSize = 0;
}

// Failing to grow is not fatal: the settings code runs inside the resident
// program, which must stay alive with its icon and the user's other changes.
char* CSTR::Append(const char* text)
{
    if (!text || !*text || text == buffer)
        return buffer;
    size_t length = strlen(text);
    unsigned newSize = bufferSize + (unsigned)length + 1;
    char* grown = new (std::nothrow) char[newSize];
    if (!grown)
        return buffer;
    memset(grown, 0, newSize);
    if (buffer) {
        strcpy(grown, buffer);
        strcat(grown, text);
        delete[] buffer;
    } else {
        memcpy(grown, text, length);
    }
    bufferSize = newSize;
    buffer = grown;
    return buffer;
}

int CSTR::Replace(const char* text)
{
    if (text && text == buffer)
        return 1;
    if (!text || !*text) {
        Clear();
        return 1;
    }
    CSTR fresh;
    if (!fresh.Append(text))
        return 0;
    Clear();
    buffer = fresh.buffer;
    bufferSize = fresh.bufferSize;
    fresh.buffer = 0;
    fresh.bufferSize = 0;
    return 1;
}
