// The Setup dialog, the hide-entry editor and the version blocks behind the
// About box, against Wine's user32 and version.dll. A helper thread plays
// the user: it reads the controls with sent messages and posts every click
// that opens or closes a modal loop, so it never waits on the dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/appstate.h"
#include "app/ids.h"
#include "settings/setupdlg.h"
#include "settings/win32ver.h"
#include "tests/win32/import_slot.h"

namespace {

std::string AboutOf(const char* file)
{
    WIN32VER version;
    if (!version.LoadFromFile(Beside(file).c_str()))
        return "(no box)";
    char text[ABOUT_TEXT_SIZE] = "";
    version.FormatAboutText(text);
    return text;
}

TEST(VersionBlocks, TheProgramShowsItsOwnStringsAndOthersTheirFallBacks)
{
    std::string own = AboutOf("vantrel.exe");
    EXPECT_EQ(0u, own.find("VANTREL")) << own;
    EXPECT_NE(std::string::npos, own.find(" (x86)\r\nVersion ")) << own;
    EXPECT_NE(std::string::npos, own.find("\r\n\r\nCopyright")) << own;
    EXPECT_EQ(std::string::npos, own.find("(error)")) << own;
    EXPECT_EQ(std::string::npos, own.find("(null)")) << own;

    EXPECT_EQ("Missing copyright (x86)\r\nVersion 2.0.0.1\r\n\r\n(error)",
              AboutOf("ver_missing.dll"));
    EXPECT_EQ("Empty version (x86)\r\nVersion (null)\r\n\r\nCopyright nobody",
              AboutOf("ver_empty.dll"));
    EXPECT_EQ("(no box)", AboutOf("ver_two.dll"));
}

// Up to 5 s for the dialog to be shown (or, with !shown, gone); it or null.
HWND WaitFor(const char* title, bool shown = true)
{
    for (int k = 0; k < 100; ++k) {
        HWND w = FindWindowA("#32770", title);
        if (shown ? w && IsWindowVisible(w) : !w)
            return w;
        Sleep(50);
    }
    return 0;
}

std::vector<std::string> Lines(HWND list)
{
    std::vector<std::string> lines;
    int n = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char text[EDITTEXT_SIZE] = "";
        if (SendMessageA(list, LB_GETTEXTLEN, i, 0) < EDITTEXT_SIZE)
            SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
        lines.push_back(text);
    }
    return lines;
}

// One run of the Setup dialog. Line `line` is double-clicked (-1: with no
// selection); the editor then gets `typed` and `editorButton` (0: no
// editor expected); the Setup dialog ends with `setupButton`, after box
// `toggle` (-1: none) was clicked. Then what Setup must return, what the
// editor must show, line 5 on screen at the end and in the entry after, and
// the toggled box's setting.
struct Script {
    const char* name;
    int line;
    const char* typed;
    int editorButton, toggle, setupButton;
    INT_PTR result;
    const char *editorText, *line5, *entry5;
    DWORD childOnly;
};

// What the helper thread saw, checked on the test's own thread.
struct Seen {
    const Script* script;
    std::vector<std::string> lines;  // the Setup list after the script
    int selected = -2;
    std::string editorText = "(no editor)";
    int centreDx = 99, centreDy = 99;  // editor centre minus Setup centre
    int setupOpenWhileShown = -1;
};

DWORD WINAPI Play(void* arg)
{
    Seen& seen = *(Seen*)arg;
    const Script& s = *seen.script;
    HWND setup = WaitFor("Setup");
    if (!setup)
        return 1;
    seen.setupOpenWhileShown = g_app->setupOpen;
    HWND list = GetDlgItem(setup, IDC_HIDELIST);
    if (s.toggle >= 0)
        SendMessageA(GetDlgItem(setup, IDC_SEPARATOR + s.toggle), BM_CLICK, 0, 0);
    SendMessageA(list, LB_SETCURSEL, s.line, 0);
    PostMessageA(setup, WM_COMMAND, MAKEWPARAM(IDC_HIDELIST, LBN_DBLCLK), (LPARAM)list);
    if (s.editorButton) {
        HWND editor = WaitFor("Hide device");
        if (editor) {
            HWND combo = GetDlgItem(editor, IDC_DEVICENAME);
            char text[EDITTEXT_SIZE] = "";
            GetWindowTextA(combo, text, sizeof text);
            seen.editorText = text;
            RECT e, p;
            GetWindowRect(editor, &e);
            GetWindowRect(setup, &p);
            seen.centreDx = (e.left + e.right) / 2 - (p.left + p.right) / 2;
            seen.centreDy = (e.top + e.bottom) / 2 - (p.top + p.bottom) / 2;
            if (s.typed)
                SendMessageA(combo, WM_SETTEXT, 0, (LPARAM)s.typed);
            PostMessageA(editor, WM_COMMAND, s.editorButton, 0);
            WaitFor("Hide device", false);
        }
    } else {
        Sleep(300);  // time for an editor that must not come
        if (FindWindowA("#32770", "Hide device"))
            seen.editorText = "(an editor opened)";
    }
    seen.lines = Lines(list);
    seen.selected = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
    PostMessageA(setup, WM_COMMAND, s.setupButton, 0);
    return 0;
}

class SetupDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(1, CreateAppState(GetModuleHandleA(0)));
        APPSTATE& app = *g_app;
        for (int k = 0; k < SETTING_FLAGS; ++k)
            *app.Flag(k) = k == 0 || k == 2;    // Separator and HideInvalid on
        app.hideList[0].Append("Zebra first");  // a sorting list would move it
        app.hideList[5].Append("Line five");
        app.hideList[31].Append("Alpha last");
        ASSERT_EQ(1, app.devices.Create());
    }
    void TearDown() override { DestroyAppState(); }

    INT_PTR Run(Seen& seen)
    {
        HANDLE thread = CreateThread(0, 0, Play, &seen, 0, 0);
        INT_PTR result =
            DialogBoxParamA(g_app->hInstance, MAKEINTRESOURCEA(IDD_SETUP), 0, SetupDlgProc, 0);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        return result;
    }
    std::string Entry(int i) { return g_app->hideList[i].buffer ? g_app->hideList[i].buffer : ""; }
};

// Each row on a fresh state.
TEST_F(SetupDialog, TheEditorChangesALineAndOnlySetupOkStoresIt)
{
    const Script rows[] = {
        {"editor OK, Setup OK", 5, "Typed name", IDOK, 1, IDOK, 1, "Line five", "Typed name",
         "Typed name", 1},
        {"REMOVE empties the line, CANCEL keeps it", 5, nullptr, IDC_REMOVE, 0, IDCANCEL, 0,
         "Line five", "", "Line five", 0},
        {"editor CANCEL", 5, "Not taken", IDCANCEL, -1, IDOK, 1, "Line five", "Line five",
         "Line five", 0},
        {"no selection, no editor", -1, nullptr, 0, -1, IDOK, 1, "(no editor)", "Line five",
         "Line five", 0},
    };
    for (const Script& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        Seen s = {&row};
        EXPECT_EQ(row.result, Run(s));
        EXPECT_EQ(1, s.setupOpenWhileShown);
        EXPECT_EQ(row.editorText, s.editorText);
        if (row.editorButton) {
            EXPECT_LE(abs(s.centreDx), 1);
            EXPECT_LE(abs(s.centreDy), 1);
        }
        ASSERT_EQ(32u, s.lines.size());
        EXPECT_EQ("Zebra first", s.lines[0]);
        EXPECT_EQ(row.line5, s.lines[5]);
        EXPECT_EQ("Alpha last", s.lines[31]);
        EXPECT_EQ(row.line, s.selected);

        APPSTATE& app = *g_app;
        EXPECT_EQ(0, app.setupOpen);
        EXPECT_EQ(row.childOnly, app.ChildOnly) << "the toggled box";
        EXPECT_EQ(1u, app.Separator);
        EXPECT_EQ(row.entry5, Entry(5));
        EXPECT_EQ("Zebra first", Entry(0));
        EXPECT_EQ("", Entry(1));
    }
}

}  // namespace
