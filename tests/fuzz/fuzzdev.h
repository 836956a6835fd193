// Control side of the fuzz device stack (fuzzdev.cpp).
#ifndef VANTREL_FUZZDEV_H
#define VANTREL_FUZZDEV_H

#include <cstddef>
#include <cstdint>

#include "app/winlayer.h"

void FuzzDev_Load(const uint8_t* data, size_t size);
int FuzzDev_OpenSets();

#endif
