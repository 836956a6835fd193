// Owners of local system resources. Every one releases in its destructor
// and in Release(), testing first, so an early return cannot leak and a
// second release does nothing.
#ifndef VANTREL_HOLDERS_H
#define VANTREL_HOLDERS_H

#include <cstdint>

#include "app/winlayer.h"

// A handle and the one call that frees it: HOLDER<HDC, DeleteDC> holds a
// DC, HOLDER<HDEVINFO, SetupDiDestroyDeviceInfoList, -1> a device set that
// says "none" with INVALID_HANDLE_VALUE. The free call's type carries its
// calling convention, so a call of another convention does not compile in
// the 32-bit build.
template <class T, BOOL(WINAPI* Free)(T), intptr_t None = 0>
class HOLDER {
public:
    T handle;

    explicit HOLDER(T h) : handle(h) {}
    ~HOLDER() { Release(); }
    bool Held() const { return handle != (T)None; }
    void Release()
    {
        if (Held()) {
            Free(handle);
            handle = (T)None;
        }
    }

private:
    HOLDER(const HOLDER&);
    HOLDER& operator=(const HOLDER&);
};

// An object selected into a device context; what it replaced goes back in.
class SELECTION {
public:
    HDC hdc;
    HGDIOBJ previous;  // 0 when the selection failed

    SELECTION(HDC dc, HGDIOBJ object) : hdc(dc), previous(SelectObject(dc, object)) {}
    ~SELECTION() { Release(); }
    void Release()
    {
        if (previous) {
            SelectObject(hdc, previous);
            previous = 0;
        }
    }

private:
    SELECTION(const SELECTION&);
    SELECTION& operator=(const SELECTION&);
};

#endif
