#include "settings/cstr.h"

#include <cstdlib>
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

char* CSTR::Append(const char* text)
{
    if (!text || !*text || text == buffer)
        return buffer;
    size_t length = strlen(text);
    unsigned newSize = bufferSize + (unsigned)length + 1;
    char* grown = new (std::nothrow) char[newSize];
    if (!grown)
        exit(0);  // no partial text may remain; the process simply ends
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
