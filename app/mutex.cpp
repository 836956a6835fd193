#include "app/mutex.h"

#include <cstring>

#include "app/ids.h"

MUTEX::MUTEX() : hMutex(0) { memset(mutexName, 0, sizeof mutexName); }

MUTEX::~MUTEX() { Release(); }

int MUTEX::Create()
{
    if (hMutex)
        return 0;
    // Nobody ever waits on the mutex; probing by name is the whole test.
    HANDLE other = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, APP_NAME);
    if (other) {
        CloseHandle(other);
        return 0;
    }
    // Two starts at the same moment can both miss in the probe; only the
    // one whose create made the object holds the lock.
    HANDLE created = CreateMutexA(0, FALSE, APP_NAME);
    if (created && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(created);
        return 0;
    }
    hMutex = created;
    strncpy(mutexName, APP_NAME, sizeof mutexName - 1);
    return hMutex ? 1 : 0;
}

void MUTEX::Release()
{
    if (!hMutex)
        return;
    ReleaseMutex(hMutex);
    CloseHandle(hMutex);
    hMutex = 0;
}
