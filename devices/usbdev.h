// Known setup classes with their menu bitmaps, on top of the device table.
#ifndef VANTREL_USBDEV_H
#define VANTREL_USBDEV_H

#include "app/winlayer.h"
#include "devices/cfgmgr.h"
#include "devices/classes.h"

// Owner of one 32-bit bitmap rendered from an icon at the small-icon size.
class CBMPICON {
public:
    HBITMAP hbitmap;

    CBMPICON();
    virtual ~CBMPICON();
    void Release();
    int RenderIcon(HICON icon, int cx, int cy);
    int LoadIconBitmap(WORD iconId);

private:
    CBMPICON(const CBMPICON&);
    CBMPICON& operator=(const CBMPICON&);
};

struct CLASSSLOT {
    char guidText[GUIDTEXT_SIZE];
    CBMPICON bitmap;
};

struct CLASSICON {
    int classIndex;
    WORD iconId;
};

#define CLASS_SLOTS 32
#define CLASSICON_ROWS 11

class CUSBDEV : public CCFGMGR {
public:
    CLASSSLOT classes[CLASS_SLOTS];

    CUSBDEV();
    virtual ~CUSBDEV();
};

HBITMAP CreateBitmap32(int cx, int cy);
int LoadClassBitmaps(const CLASSICON* rows, CUSBDEV& devices);
// Slot whose class text equals the given text ignoring case; the last
// equal slot wins and slot 0 stands for every unknown class.
int LookupClassSlot(const CUSBDEV& devices, const char* guidText);
HBITMAP LookupClassBitmap(const CUSBDEV& devices, const char* guidText);
HBITMAP ClassBitmapOfDevice(const CUSBDEV& devices, DWORD i);
HBITMAP ClassBitmapOfDeepestNode(const CUSBDEV& devices, DWORD i);

// The known classes' GUID texts, by slot, from the list in devices/classes.h.
extern const char* const kClassTexts[CLASS_KNOWN];
// The class-bitmap rows handed to LoadClassBitmaps at start-up.
extern const CLASSICON kClassIcons[CLASSICON_ROWS];

#endif
