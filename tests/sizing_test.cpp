// The main window's geometry: placement at start, presets, full-screen-window
// mode and back, always on top. Preview starts are counted in-process (a new
// child process id once a message is handled): a preview stopped again within
// milliseconds may die before its probe could log anything.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "app/state.h"
#include "res/resource.h"
#include "support/test_support.h"
#include "window/sizing.h"

namespace {

std::vector<DWORD> starts;
LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
    DWORD id = GetState()->processInfo.dwProcessId;   // a closed viewer's stays behind
    if (id != 0 && IsWindow(GetState()->mainWindow) && (starts.empty() || starts.back() != id))
        starts.push_back(id);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

std::string Geo(long x, long y, long w, long h, const char *frame = " framed") {
    char text[96];
    snprintf(text, sizeof text, "%ld,%ld %ldx%ld%s", x, y, w, h, frame);
    return text;
}
// Outer rectangle, and whether menu bar and frame are both on or both off.
std::string Geo(HWND window) {
    RECT r;
    LONG frame = GetWindowLongA(window, GWL_STYLE) & (FRAME_STYLE_BITS | WS_SYSMENU);
    HMENU menu = GetMenu(window);
    GetWindowRect(window, &r);
    return Geo(r.left, r.top, r.right - r.left, r.bottom - r.top,
               menu == GetState()->mainMenu && frame == (FRAME_STYLE_BITS | WS_SYSMENU) ? " framed"
               : menu == NULL && frame == WS_SYSMENU ? " borderless" : " mixed");
}
long Ini(const char *key) {
    return (long)GetPrivateProfileIntA("WINDOW", key, -99, TestSettingsPath().c_str());
}

// "E"/"G" for the full-screen and restore items, read while the context
// menu's modal loop runs a timer of this thread.
std::string menuStates;
void CALLBACK ReadContextMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(NULL, timer);
    HMENU menu = (HMENU)SendMessageA(FindWindowA("#32768", NULL), MN_GETHMENU, 0, 0);
    for (UINT id : {IDM_FULL_SCREEN, IDM_RESTORE_SIZE})
        menuStates += (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) ? "G" : "E";
    EndMenu();
}
std::string ContextMenuStates() {
    menuStates.clear();
    UINT_PTR timer = SetTimer(NULL, 0, 200, ReadContextMenu);
    SendMessageA(GetState()->mainWindow, WM_CONTEXTMENU, 0, MAKELPARAM(100, 100));
    KillTimer(NULL, timer);
    return menuStates;
}

class Sizing : public ::testing::Test {
protected:
    void SetUp() override {
        hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, NULL, GetCurrentThreadId());
    }
    void TearDown() override {
        CloseViewer();
        UnhookWindowsHookEx(hook);
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    }
    // The viewer with the probe as its saver and the given "KEY=value" pairs.
    HWND Open(std::string keys) {
        for (char &c : keys) c = c == ' ' ? '\0' : c;
        RemoveTestSettings();
        starts.clear();
        WriteIni(TestSettingsPath(), "SYSTEM", "SCREENSAVER_1", ProbePath("probe.scr").c_str());
        WritePrivateProfileSectionA("WINDOW", (keys + '\0').c_str(), TestSettingsPath().c_str());
        HWND window = OpenViewer();
        EXPECT_TRUE(log.WaitFor("window", 1, 5000));
        return window;
    }
    size_t Command(UINT id) {   // the number of previews it started
        size_t before = starts.size();
        SendMessageA(GetState()->mainWindow, WM_COMMAND, id, 0);
        PumpMessages(200);
        return starts.size() - before;
    }
    HHOOK hook;
    ProbeLog log;
};

TEST_F(Sizing, PlacementAtStart) {
    RECT r, area;   // centred, the window keeps the size a window of its style is created with
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                 CW_USEDEFAULT, 0, NULL, NULL, NULL, NULL);
    GetWindowRect(plain, &r);
    DestroyWindow(plain);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    long w = r.right - r.left, h = r.bottom - r.top;
    std::string centred = Geo(area.left + (area.right - area.left - w) / 2,
                              area.top + (area.bottom - area.top - h) / 2, w, h);
    std::string size = " WIDTH=" + std::to_string(w) + " HEIGHT=" + std::to_string(h);
    const struct { const char *label; std::string keys, expected; } rows[] = {
        {"nothing stored", "", centred},
        {"off the top left", "X=-50 Y=-30 WIDTH=400 HEIGHT=300", Geo(-50, -30, 400, 300)},
        {"height 0", "X=10 Y=10 WIDTH=400 HEIGHT=0", centred},
        {"width -1", "X=10 Y=10 WIDTH=-1 HEIGHT=300", centred},
        {"created size: one WM_SIZE sent", "X=-7 Y=5" + size, Geo(-7, 5, w, h)},
    };
    for (const auto &row : rows) {
        log.Clear();
        EXPECT_EQ(row.expected, Geo(Open(row.keys))) << row.label;
        EXPECT_EQ(1u, starts.size()) << row.label << ": exactly one first preview";
        CloseViewer();
    }
    for (long extra : {3L, 1L}) {   // centring truncates toward zero
        HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 5, 5,
                                      area.right - area.left + extra, 100, NULL, NULL, NULL, NULL);
        CenterWindow(window);
        GetWindowRect(window, &r);
        EXPECT_EQ(area.left - (extra == 3 ? 1 : 0), r.left) << extra << " px wider than the area";
        DestroyWindow(window);
    }
}

TEST_F(Sizing, PresetsKeepTheCorner) {
    Open("X=30 Y=40 WIDTH=500 HEIGHT=400");
    const struct { const char *label; UINT id; long w, h; size_t starts; } rows[] = {
        {"QVGA", IDM_SIZE_QVGA, 320, 240, 1}, {"VGA", IDM_SIZE_VGA, 640, 480, 1},
        {"SVGA", IDM_SIZE_SVGA, 800, 600, 1}, {"XGA", IDM_SIZE_XGA, 1024, 768, 1},
        {"XGA again", IDM_SIZE_XGA, 1024, 768, 0},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.starts, Command(row.id)) << row.label << ": previews started";
        EXPECT_EQ(Geo(30, 40, row.w, row.h), Geo(GetState()->mainWindow)) << row.label;
    }
}

TEST_F(Sizing, FullScreenWindowAndBack) {
    HWND window = Open("X=-20 Y=30 WIDTH=600 HEIGHT=450");
    long sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ("EG", ContextMenuStates()) << "framed: full screen enabled, restore grayed";
    EXPECT_EQ(2u, Command(IDM_FULL_SCREEN)) << "menu bar off, then the screen's size";
    EXPECT_EQ(Geo(0, 0, sw, sh, " borderless"), Geo(window));
    EXPECT_EQ("GE", ContextMenuStates());
    ASSERT_TRUE(log.WaitFor("window", 2, 5000));
    EXPECT_EQ("client " + std::to_string(sw) + " " + std::to_string(sh),
              log.Events("client").back()) << "the preview fills the screen";

    EXPECT_EQ(2u, Command(IDM_RESTORE_SIZE)) << "menu bar back, then the old rectangle";
    EXPECT_EQ(Geo(-20, 30, 600, 450), Geo(window));
    Command(IDM_FULL_SCREEN);
    EXPECT_EQ(2u, Command(IDM_SIZE_VGA));
    EXPECT_EQ(Geo(-20, 30, 640, 480), Geo(window)) << "the corner from before the mode";

    Command(IDM_FULL_SCREEN);   // closed in the mode: the next start is framed at the screen's size
    CloseViewer();
    EXPECT_EQ(Geo(0, 0, sw, sh), Geo(Ini("X"), Ini("Y"), Ini("WIDTH"), Ini("HEIGHT"))) << "stored";
    EXPECT_EQ(Geo(0, 0, sw, sh), Geo(OpenViewer()));
}

TEST_F(Sizing, AlwaysOnTop) {
    const struct { const char *stored; bool topmost; long saved; } rows[] = {
        {"WIN_TOP=1", true, 0}, {"WIN_TOP=5", false, 1},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.stored);
        HWND window = Open(std::string("X=50 Y=60 WIDTH=400 HEIGHT=300 ") + row.stored);
        for (bool topmost : {row.topmost, !row.topmost}) {
            EXPECT_EQ(topmost, (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
            EXPECT_EQ(topmost, (GetMenuState(GetState()->mainMenu, IDM_TOPMOST, MF_BYCOMMAND) &
                                MF_CHECKED) != 0);
            if (topmost == row.topmost) {
                EXPECT_EQ(0u, Command(IDM_TOPMOST)) << "no restart";
            }
        }
        EXPECT_EQ(Geo(50, 60, 400, 300), Geo(window)) << "toggling moves nothing";
        CloseViewer();
        EXPECT_EQ(row.saved, Ini("WIN_TOP"));
    }
}

}  // namespace
