// The known setup classes in slot order: the one list, shared by the class
// table (devices/usbdev.cpp) and the icon generator (res/icons), which draws
// icon IDI_CLASS_FIRST + slot for each. Plain macros and no includes, so that
// host tools can include it.
#ifndef VANTREL_CLASSES_H
#define VANTREL_CLASSES_H

// CLASS_ROW(name, GUID text); slot 0 is empty: every unlisted class maps to it.
#define CLASS_TABLE(CLASS_ROW)                                       \
    CLASS_ROW(UNKNOWN, "")                                           \
    CLASS_ROW(CDROM, "{4D36E965-E325-11CE-BFC1-08002BE10318}")       \
    CLASS_ROW(DISKDRIVE, "{4D36E967-E325-11CE-BFC1-08002BE10318}")   \
    CLASS_ROW(HIDCLASS, "{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}")    \
    CLASS_ROW(KEYBOARD, "{4D36E96B-E325-11CE-BFC1-08002BE10318}")    \
    CLASS_ROW(MEDIA, "{4D36E96C-E325-11CE-BFC1-08002BE10318}")       \
    CLASS_ROW(MONITOR, "{4D36E96E-E325-11CE-BFC1-08002BE10318}")     \
    CLASS_ROW(MOUSE, "{4D36E96F-E325-11CE-BFC1-08002BE10318}")       \
    CLASS_ROW(PRINTER, "{4D36E979-E325-11CE-BFC1-08002BE10318}")     \
    CLASS_ROW(SCSIADAPTER, "{4D36E97B-E325-11CE-BFC1-08002BE10318}") \
    CLASS_ROW(USB, "{36FC9E60-C465-11CF-8056-444553540000}")         \
    CLASS_ROW(WPD, "{EEC5AD98-8080-425F-922A-DABF3DE3F69A}")

// CLASS_UNKNOWN, CLASS_CDROM, ... CLASS_WPD: the slots; CLASS_KNOWN: their number.
#define CLASS_SLOT_(name, text) CLASS_##name,
enum { CLASS_TABLE(CLASS_SLOT_) CLASS_KNOWN };
#undef CLASS_SLOT_

#endif
