// Control side of the fake device stack for native tests, and the names of
// the functions it stands in for (declared by app/winlayer.h natively, by the
// Windows headers in the DLL build).
#ifndef VANTREL_FAKEDEV_H
#define VANTREL_FAKEDEV_H

#include <string>
#include <vector>

// As the program imports them; fakedev.cpp counts calls in this order.
inline const char* const kFakeDevFunctions[] = {
    "SetupDiGetClassDevsA",     "SetupDiEnumDeviceInfo", "SetupDiDestroyDeviceInfoList",
    "CM_Get_DevNode_Status",    "CM_Get_Child",          "CM_Get_DevNode_Registry_PropertyA",
    "CM_Request_Device_EjectA",
};

// Forget the tree, the counters and the eject log.
void FakeDev_Reset();
// Take the tree from text in the tree-file format; returns 0 on a bad line.
// A tree given this way is used until the next reset, whatever the
// environment says.
int FakeDev_LoadText(const std::string& text);
// Calls made to one device function since the last reset, by its name.
unsigned FakeDev_Count(const char* function);
// Device sets opened and not yet destroyed.
int FakeDev_OpenSets();
// One line per eject request, in the log-file format.
const std::vector<std::string>& FakeDev_Ejects();

#endif
