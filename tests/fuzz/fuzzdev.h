// Control side of the fuzz device stack (fuzzdev.cpp), and what every target shares.
#ifndef VANTREL_FUZZDEV_H
#define VANTREL_FUZZDEV_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/winlayer.h"

// The fuzz input a byte at a time, zeros once it runs out.
struct Reader {
    const uint8_t* p;
    size_t left;
    uint8_t Byte() { return left ? (--left, *p++) : 0; }
    DWORD Word()
    {
        DWORD low = Byte();  // first, low byte
        return low | (DWORD)Byte() << 8;
    }
    // `length` bytes of text, 'L' once the input runs out.
    std::string Text(size_t length)
    {
        std::string s;
        while (s.size() < length)
            s += left ? (char)Byte() : 'L';
        return s;
    }
};

// A broken rule stops the run where it broke.
inline void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

void FuzzDev_Load(const uint8_t* data, size_t size);

#endif
