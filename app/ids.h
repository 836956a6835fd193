// Message, command and resource ids, and the program's fixed names.
// Plain #defines so that the resource script can include this file too.
#ifndef VANTREL_IDS_H
#define VANTREL_IDS_H

#define WM_TRAYNOTIFY 0x8001
#define ID_SHOWICON 0x8002
#define ID_SCAN 0x8010
#define ID_SETUP 0x8011
#define ID_ABOUT 0x8012
#define ID_EXIT 0x8013
// Device i of the table (devices/cfgmgr.h, MAX_TABLE of them) is command
// ID_DEVICE_BASE + i.
#define ID_DEVICE_BASE 0x8100

// Icons: 200 window class, 201 tray; 210-213 command bitmaps; 220-231 classes.
#define IDI_MAIN 200
#define IDI_TRAY 201
#define IDI_CMD_SCAN 210
#define IDI_CMD_SETUP 211
#define IDI_CMD_ABOUT 212
#define IDI_CMD_EXIT 213
#define IDI_CLASS_FIRST 220
#define IDI_CLASS_LAST 231

#define IDD_SETUP 100
#define IDD_HIDEDEVICE 101

// Setup dialog: check box 1000 + k belongs to setting flag k.
#define IDC_SEPARATOR 1000
#define IDC_CHILDONLY 1001
#define IDC_HIDEINVALID 1002
#define IDC_HIDEWPD 1003
#define IDC_AUTOSHOW 1004
#define IDC_HIDELIST 1010
// Hide-entry editor; its combo box shares the list's number, in its own dialog.
#define IDC_DEVICENAME 1010
#define IDC_REMOVE 1011

// One name for the window class, its title and the single-instance mutex.
#define APP_NAME "VANTREL"

// The list file's section, and the two-digit names of its keys and of the
// stored hide entries: entry 7 is "07".
#define LIST_SECTION "VANTRL"
#define ENTRY_NAME_FORMAT "%02d"

// Message boxes; their styles are checked against the system's headers.
// "Error information" in code page 932, kept as bytes so no editor or
// compiler setting can re-encode it.
#define ERROR_CAPTION "\x83\x47\x83\x89\x81\x5b\x8f\xee\x95\xf1"
// MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST
#define ERROR_BOX_STYLE 0x50010
#define ABOUT_CAPTION "About..."
// MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST
#define ABOUT_BOX_STYLE 0x50040

#define TEXT_MEMORY_ERROR "MEMORY ALLOCATE ERROR."
#define TEXT_ALREADY_EXECUTED "ALREADY EXECUTED."
#define TEXT_CUSBDEV_ERROR "CUSBDEV INSTANCE CREATE ERROR."
#define TEXT_TTICON_ERROR "TTICON INSTANCE CREATE ERROR."

#endif
