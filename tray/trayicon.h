// The notification-area icon and the rule that shows or hides it.
#ifndef VANTREL_TRAYICON_H
#define VANTREL_TRAYICON_H

#include "app/winlayer.h"

// NOTIFYICONDATAA through guidItem, without hBalloonIcon: 504 bytes in the
// 32-bit program.
#define NID_SIZE ((DWORD)offsetof(NOTIFYICONDATAA, hBalloonIcon))
#define ICON_PATH_SIZE 260

struct ICONSLOT {
    HICON icon;
    int owned;  // 1 when this slot destroys its icon on release or replacement
};

class TaskTrayIcon {
public:
    UINT taskbarCreatedMsg;
    DWORD slotCount;
    ICONSLOT* slots;
    HINSTANCE hInstance;
    NOTIFYICONDATAA nid;
    DWORD currentIndex;
    DWORD loadedCount;

    TaskTrayIcon();
    virtual ~TaskTrayIcon();
    int Create(HINSTANCE instance, HWND window);
    void SetTip();
    void LoadResourceIcon(DWORD index, int cx, int cy);
    void LoadFileIcon(const char* path, DWORD index);
    BOOL OnTaskbarCreated(UINT message);
    void Destroy();
    // Removes the icon from the notification area, if created.
    void Delete();

private:
    TaskTrayIcon(const TaskTrayIcon&);
    TaskTrayIcon& operator=(const TaskTrayIcon&);
    void ReleaseSlotIcon(DWORD index);
};

void LoadTrayIcon();
void UpdateTrayIcon();
char* GetIconFilePath(char* buffer);
UINT MakeIconId();

#endif
