#include "app/cmdline.h"

// Compared as unsigned: with plain char the bytes of a Japanese path fall
// below 32 and would be taken for blanks.
static bool IsSeparator(unsigned char c) { return c != 0 && c <= ' '; }

const char* CommandLineArgs(const char* line)
{
    if (!line)
        return "";
    const unsigned char* p = (const unsigned char*)line;
    bool quoted = false;
    while (*p && (quoted || !IsSeparator(*p))) {
        if (*p == '"')
            quoted = !quoted;
        ++p;
    }
    while (IsSeparator(*p))
        ++p;
    return (const char*)p;
}
