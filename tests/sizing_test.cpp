// The main window's geometry: placement, presets, full-screen window, always on top.
#include <gtest/gtest.h>
#include <stdio.h>
#include "app/state.h"
#include "res/resource.h"
#include "support/test_support.h"
#include "window/sizing.h"
namespace {
// Preview starts as new child process ids (one stopped within milliseconds may die before its
// probe logs anything); "E"/"G" for the context menu's full-screen and restore items.
std::vector<DWORD> starts;
std::string menuStates;
LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT *m = (const CWPRETSTRUCT *)lParam;
    DWORD pid = GetState()->processInfo.dwProcessId;   // a closed viewer's stays behind
    if (pid != 0 && IsWindow(GetState()->mainWindow) && (starts.empty() || starts.back() != pid))
        starts.push_back(pid);
    for (UINT id : {IDM_FULL_SCREEN, IDM_RESTORE_SIZE})
        if (m->message == WM_INITMENUPOPUP)
            menuStates += GetMenuState((HMENU)m->wParam, id, MF_BYCOMMAND) & MF_GRAYED ? 'G' : 'E';
    if (m->message == WM_ENTERIDLE && m->wParam == MSGF_MENU) EndMenu();   // read, so close it
    return CallNextHookEx(NULL, code, wParam, lParam);
}
const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, NULL, GetCurrentThreadId());
std::string ContextMenuStates() {
    SendMessageA(GetState()->mainWindow, WM_CONTEXTMENU, 0, MAKELPARAM(100, 100));
    return std::exchange(menuStates, "");
}
std::string Geo(long x, long y, long w, long h, const char *frame = " framed") {
    char text[96];
    return std::string(text, snprintf(text, sizeof text, "%ld,%ld %ldx%ld%s", x, y, w, h, frame));
}
std::string Geo(HWND window) {   // outer rectangle; menu bar and frame both on or both off
    RECT r;
    GetWindowRect(window, &r);
    LONG frame = GetWindowLongA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW;
    return Geo(r.left, r.top, r.right - r.left, r.bottom - r.top,
               GetMenu(window) == GetState()->mainMenu && frame == WS_OVERLAPPEDWINDOW ? " framed"
               : !GetMenu(window) && frame == WS_SYSMENU ? " borderless" : " mixed");
}
bool Topmost() {   // the menu item's check mark must agree
    bool on = GetWindowLongA(GetState()->mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST;
    EXPECT_EQ(on, !!(GetMenuState(GetState()->mainMenu, IDM_TOPMOST, MF_BYCOMMAND) & MF_CHECKED));
    return on;
}
struct Sizing : ::testing::Test {
    void TearDown() override { CloseViewer(); EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000)); }
    HWND Open(std::string keys) {   // the probe as the saver, and these "KEY=value" pairs
        for (char &c : keys) c = c == ' ' ? '\0' : c;
        CloseViewer();
        RemoveTestSettings();
        WriteIni(TestSettingsPath(), "SYSTEM", "SCREENSAVER_1", ProbePath("probe.scr").c_str());
        WritePrivateProfileSectionA("WINDOW", (keys + '\0').c_str(), TestSettingsPath().c_str());
        starts.clear();
        log.Clear();
        HWND window = OpenViewer();
        EXPECT_TRUE(log.WaitFor("window", 1, 5000));
        return window;
    }
    std::string Command(UINT id) {   // the number of previews it started, and the geometry
        size_t before = starts.size();
        SendMessageA(GetState()->mainWindow, WM_COMMAND, id, 0);
        PumpMessages(200);
        return std::to_string(starts.size() - before) + " " + Geo(GetState()->mainWindow);
    }
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
    long aw = area.right - area.left, ah = area.bottom - area.top;
    std::string centred = Geo(area.left + (aw - w) / 2, area.top + (ah - h) / 2, w, h);
    std::string size = " WIDTH=" + std::to_string(w) + " HEIGHT=" + std::to_string(h);
    const struct { std::string keys, expected; } rows[] = {
        {"", centred}, {"X=-50 Y=-30 WIDTH=400 HEIGHT=300", Geo(-50, -30, 400, 300)},
        {"X=10 Y=10 WIDTH=400 HEIGHT=0", centred}, {"X=10 Y=10 WIDTH=-1 HEIGHT=300", centred},
        {"X=-7 Y=5" + size, Geo(-7, 5, w, h)},   // the created size: one WM_SIZE sent
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.expected, Geo(Open(row.keys))) << "stored: " << row.keys;
        EXPECT_EQ(1u, starts.size()) << "exactly one first preview, stored: " << row.keys;
    }
    HWND wide = CreateWindowExA(0, "STATIC", "", WS_POPUP, 5, 5, aw + 3, 100, 0, 0, 0, 0);
    CenterWindow(wide);
    GetWindowRect(wide, &r);
    EXPECT_EQ(area.left - 1, r.left) << "3 px wider than the area: -1.5 truncated toward zero";
    DestroyWindow(wide);
}
TEST_F(Sizing, FullScreenWindowAndPresets) {
    Open("X=-20 Y=30 WIDTH=600 HEIGHT=450");
    long sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ("EG", ContextMenuStates()) << "framed: full screen enabled, restore grayed";
    // Two previews each way: one as the menu bar goes or comes, one for the new size.
    EXPECT_EQ("2 " + Geo(0, 0, sw, sh, " borderless"), Command(IDM_FULL_SCREEN));
    EXPECT_EQ("GE", ContextMenuStates());
    ASSERT_TRUE(log.WaitFor("window", 2, 5000));
    EXPECT_EQ("client " + std::to_string(sw) + " " + std::to_string(sh),
              log.Events("client").back()) << "the preview fills the screen";
    EXPECT_EQ("2 " + Geo(-20, 30, 600, 450), Command(IDM_RESTORE_SIZE));
    Command(IDM_FULL_SCREEN);
    EXPECT_EQ("2 " + Geo(-20, 30, 640, 480), Command(IDM_SIZE_VGA)) << "the corner from before";
    const struct { UINT id; long w, h; size_t starts; } presets[] = {   // they keep the corner
        {IDM_SIZE_QVGA, 320, 240, 1}, {IDM_SIZE_SVGA, 800, 600, 1},
        {IDM_SIZE_XGA, 1024, 768, 1}, {IDM_SIZE_XGA, 1024, 768, 0},   // same size: no restart
    };
    for (const auto &row : presets)
        EXPECT_EQ(std::to_string(row.starts) + " " + Geo(-20, 30, row.w, row.h), Command(row.id));
    Command(IDM_FULL_SCREEN);   // closed in the mode: the next start is framed at the screen's size
    CloseViewer();
    EXPECT_EQ(Geo(0, 0, sw, sh), Geo(OpenViewer()));
}
TEST_F(Sizing, AlwaysOnTop) {   // only exactly 1 is on; a toggle stores 0 or 1
    for (bool on : {true, false}) {
        Open("X=50 Y=60 WIDTH=400 HEIGHT=300 WIN_TOP=" + std::string(on ? "1" : "5"));
        EXPECT_EQ(on, Topmost());
        EXPECT_EQ("0 " + Geo(50, 60, 400, 300), Command(IDM_TOPMOST)) << "no restart, no move";
        EXPECT_EQ(!on, Topmost());
        CloseViewer();
        EXPECT_EQ(on ? 0u : 1u,
                  GetPrivateProfileIntA("WINDOW", "WIN_TOP", 9, TestSettingsPath().c_str()));
    }
}
}  // namespace
