// The program's own version resource, read afresh for the About box.
#ifndef VANTREL_WIN32VER_H
#define VANTREL_WIN32VER_H

#include "app/winlayer.h"

#define ABOUT_TEXT_SIZE 1024
#define VERSION_PATH_SIZE 1024
#define VERSION_QUERY_SIZE 256

class WIN32VER {
public:
    void* block;  // owned copy of a file's version-information block
    WORD language;
    WORD codePage;

    WIN32VER();
    virtual ~WIN32VER();
    void Release();
    int LoadFromModule(HMODULE module);
    int LoadFromFile(const char* path);
    // A text inside the block, or "(error)" when the string is missing and
    // "(null)" when it is there but empty; never null.
    const char* QueryString(const char* name);
    // Four lines: description (x86), version, blank, copyright. The buffer
    // is ABOUT_TEXT_SIZE bytes; a longer text is cut and terminated.
    void FormatAboutText(char* buffer);

private:
    WIN32VER(const WIN32VER&);
    WIN32VER& operator=(const WIN32VER&);
};

#ifdef _WIN32
void ShowAboutBox(HWND owner);
#endif

#endif
