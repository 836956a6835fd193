// Owners of local system resources, one small class each. Every one
// releases in its destructor and in Release(), testing first, so an early
// return cannot leak and a second release does nothing.
#ifndef VANTREL_HOLDERS_H
#define VANTREL_HOLDERS_H

#include "app/winlayer.h"

#define HOLDER_NO_COPY(T) \
    T(const T&);          \
    T& operator=(const T&)

// A memory device context compatible with the screen.
class MEMORYDC {
public:
    HDC hdc;

    MEMORYDC() : hdc(CreateCompatibleDC(0)) {}
    ~MEMORYDC() { Release(); }
    void Release()
    {
        if (hdc) {
            DeleteDC(hdc);
            hdc = 0;
        }
    }

private:
    HOLDER_NO_COPY(MEMORYDC);
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
    HOLDER_NO_COPY(SELECTION);
};

// A device information set.
class DEVINFOSET {
public:
    HDEVINFO set;  // INVALID_HANDLE_VALUE when there is none

    explicit DEVINFOSET(HDEVINFO handle) : set(handle) {}
    ~DEVINFOSET() { Release(); }
    void Release()
    {
        if (set != INVALID_HANDLE_VALUE) {
            SetupDiDestroyDeviceInfoList(set);
            set = INVALID_HANDLE_VALUE;
        }
    }

private:
    HOLDER_NO_COPY(DEVINFOSET);
};

// An icon loaded for this function's use only.
class ICONHOLDER {
public:
    HICON icon;

    explicit ICONHOLDER(HICON handle) : icon(handle) {}
    ~ICONHOLDER() { Release(); }
    void Release()
    {
        if (icon) {
            DestroyIcon(icon);
            icon = 0;
        }
    }

private:
    HOLDER_NO_COPY(ICONHOLDER);
};

// A kernel object handle. Files say "none" with INVALID_HANDLE_VALUE,
// mappings with 0: both are tested.
class KERNELHANDLE {
public:
    HANDLE handle;

    explicit KERNELHANDLE(HANDLE h) : handle(h) {}
    ~KERNELHANDLE() { Release(); }
    void Release()
    {
        if (handle && handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
            handle = 0;
        }
    }

private:
    HOLDER_NO_COPY(KERNELHANDLE);
};

// A GDI object this code created (a bitmap, a brush).
class GDIOBJECT {
public:
    HGDIOBJ object;

    explicit GDIOBJECT(HGDIOBJ h) : object(h) {}
    ~GDIOBJECT() { Release(); }
    void Release()
    {
        if (object) {
            DeleteObject(object);
            object = 0;
        }
    }

private:
    HOLDER_NO_COPY(GDIOBJECT);
};

#ifdef _WIN32

// A view of a file mapping.
class FILEVIEW {
public:
    const unsigned char* bytes;

    explicit FILEVIEW(LPVOID view) : bytes((const unsigned char*)view) {}
    ~FILEVIEW() { Release(); }
    void Release()
    {
        if (bytes) {
            UnmapViewOfFile(bytes);
            bytes = 0;
        }
    }

private:
    HOLDER_NO_COPY(FILEVIEW);
};

// A popup menu.
class POPUPMENU {
public:
    HMENU hmenu;

    POPUPMENU() : hmenu(CreatePopupMenu()) {}
    ~POPUPMENU() { Release(); }
    void Release()
    {
        if (hmenu) {
            DestroyMenu(hmenu);
            hmenu = 0;
        }
    }

private:
    HOLDER_NO_COPY(POPUPMENU);
};

#endif  // _WIN32

#endif
