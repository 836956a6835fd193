// Control side of the fuzz device stack (fuzzdev.cpp).
#ifndef VANTREL_FUZZDEV_H
#define VANTREL_FUZZDEV_H

#include <cstddef>
#include <cstdint>

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
};

void FuzzDev_Load(const uint8_t* data, size_t size);
int FuzzDev_OpenSets();

#endif
