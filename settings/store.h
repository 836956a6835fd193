// The user's settings and hide list in the registry.
#ifndef VANTREL_STORE_H
#define VANTREL_STORE_H

#include "app/winlayer.h"

#define SETTINGS_KEY "Software\\HALCYRA\\VANTREL"
// The key name is misspelt, and stays so: stored hide lists live under it.
#define HIDELIST_KEY "Software\\HALCYRA\\VANTREL\\Disbale"

class REGISTRY {
public:
    HKEY hKey;

    REGISTRY();
    virtual ~REGISTRY();
    // Opens the key under HKEY_CURRENT_USER, creating it when absent.
    int Open(const char* path);
    void Close();

private:
    REGISTRY(const REGISTRY&);
    REGISTRY& operator=(const REGISTRY&);
};

void LoadSettings();
void SaveSettings();

#endif
