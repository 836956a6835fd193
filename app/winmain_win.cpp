// Entry point: hand over to a running instance, run a list file, or stay
// resident behind a hidden window.
#include "app/appstate.h"
#include "app/cmdline.h"
#include "app/ids.h"
#include "app/integrity.h"
#include "app/mainwnd.h"
#include "devices/batch.h"

// MinGW's printf reaches its runtime's code-page helper, which looks msvcrt
// up with GetModuleHandleW: the one wide-character import. The program never
// calls setlocale, so the runtime stays in the "C" locale, whose code page is
// 0; answering that here keeps the helper (and the import) out.
extern "C" unsigned int __cdecl ___lc_codepage_func(void) { return 0; }

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (!VerifyOwnImage())
        return 0;
    // The start-up code's own split treats bytes from 0x80 up as blanks,
    // which loses or invents the text after a Japanese program path.
    const char* commandLine = CommandLineArgs(GetCommandLineA());

    HWND running = FindWindowA(APP_NAME, APP_NAME);
    if (running && !commandLine[0]) {
        PostMessageA(running, WM_COMMAND, ID_SHOWICON, 0);
        return 0;
    }

    if (!CreateAppState(instance)) {
        MessageBoxA(0, TEXT_MEMORY_ERROR, ERROR_CAPTION, ERROR_BOX_STYLE);
        return 0;
    }

    if (commandLine[0]) {
        RunBatchRemoval(commandLine);
        DestroyAppState();
        return 0;
    }

    HCURSOR arrow = LoadCursorA(0, IDC_ARROW);
    if (RegisterMainClass(g_app->hInstance, arrow)) {
        if (CreateMainWindow(g_app->hInstance)) {
            MSG msg;
            while (GetMessageA(&msg, 0, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        UnregisterClassA(APP_NAME, g_app->hInstance);
    }
    DestroyAppState();
    return 0;
}
