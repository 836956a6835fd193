// The single-instance marker: a named mutex whose existence alone counts.
#ifndef VANTREL_MUTEX_H
#define VANTREL_MUTEX_H

#include "app/winlayer.h"

class MUTEX {
public:
    HANDLE hMutex;
    char mutexName[260];

    MUTEX();
    virtual ~MUTEX();
    int Create();
    void Release();

private:
    MUTEX(const MUTEX&);
    MUTEX& operator=(const MUTEX&);
};

#endif
