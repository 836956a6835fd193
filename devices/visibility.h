// Which recorded devices the menu offers.
#ifndef VANTREL_VISIBILITY_H
#define VANTREL_VISIBILITY_H

#include "app/winlayer.h"
#include "devices/cfgmgr.h"

#define TRACE_SIZE 1024

void RefreshDevices(HWND window);
DWORD CountVisibleDevices();
// Nonzero when name begins with prefix, byte for byte; a shorter name never does.
int NameStartsWith(const char* name, const char* prefix, size_t prefixLength);
// Nonzero when the device's own name or a node below it begins with prefix.
int DeviceMatches(const DEVENTRY& entry, const char* prefix);

#endif
