/* The main window's geometry: placement, presets, the full-screen window
 * and always on top, with the preview restarts they cause. */
#include <gtest/gtest.h>

#include "app/state.h"
#include "res/resource.h"
#include "support/test_support.h"
#include "window/sizing.h"

namespace {

/* Preview starts, counted as new child process ids: a preview stopped
 * within milliseconds may die before its probe logs anything. */
std::vector<DWORD> starts;

LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    DWORD id = GetState()->processInfo.dwProcessId;
    bool open = IsWindow(GetState()->mainWindow) != FALSE;
    if (id != 0 && open && (starts.empty() || starts.back() != id))
        starts.push_back(id);
    return CallNextHookEx(NULL, code, wParam, lParam);
}

const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, NULL, GetCurrentThreadId());

std::string Geometry(long x, long y, long width, long height, const char *frame = " framed")
{
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x"
           + std::to_string(height) + frame;
}

/* The outer rectangle; menu bar and frame both on or both off. */
std::string Geometry(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    LONG frame = GetWindowLongA(window, GWL_STYLE) & WS_OVERLAPPEDWINDOW;
    const char *kind = " mixed";
    if (GetMenu(window) == GetState()->mainMenu && frame == WS_OVERLAPPEDWINDOW)
        kind = " framed";
    if (GetMenu(window) == NULL && frame == WS_SYSMENU)
        kind = " borderless";
    return Geometry(r.left, r.top, r.right - r.left, r.bottom - r.top, kind);
}

class Sizing : public ::testing::Test {
protected:
    ProbeLog log;

    /* The probe as the saver, and these "KEY=value" pairs for the window. */
    HWND Open(std::string keys)
    {
        CloseViewer();
        for (char &c : keys) {
            if (c == ' ')
                c = '\0';
        }
        RemoveTestSettings();
        WriteIni(TestSettingsPath(), "SYSTEM", "SCREENSAVER_1", ProbePath("probe.scr").c_str());
        WritePrivateProfileSectionA("WINDOW", (keys + '\0').c_str(), TestSettingsPath().c_str());
        starts.clear();
        log.Clear();
        HWND window = OpenViewer();
        EXPECT_TRUE(log.WaitFor("window", 1, 5000));
        return window;
    }

    /* The number of previews the command started, and the geometry. */
    std::string Run(UINT id)
    {
        size_t before = starts.size();
        Command(GetState()->mainWindow, id);
        return std::to_string(starts.size() - before) + " " + Geometry(GetState()->mainWindow);
    }

    void TearDown() override
    {
        CloseViewer();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    }
};

TEST_F(Sizing, PlacementAtStart)
{
    /* Centred, the window keeps the size a window of its style gets. */
    RECT r;
    RECT area;
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                 CW_USEDEFAULT, 0, NULL, NULL, NULL, NULL);
    GetWindowRect(plain, &r);
    DestroyWindow(plain);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    long width = r.right - r.left;
    long height = r.bottom - r.top;
    long areaWidth = area.right - area.left;
    std::string centred = Geometry(area.left + (areaWidth - width) / 2,
                                   area.top + (area.bottom - area.top - height) / 2, width, height);
    std::string size = " WIDTH=" + std::to_string(width) + " HEIGHT=" + std::to_string(height);
    const struct {
        std::string keys;
        std::string expected;
    } rows[] = {
        {"", centred},
        {"X=-50 Y=-30 WIDTH=400 HEIGHT=300", Geometry(-50, -30, 400, 300)},
        {"X=10 Y=10 WIDTH=400 HEIGHT=0", centred},
        {"X=10 Y=10 WIDTH=-1 HEIGHT=300", centred},
        {"X=-7 Y=5" + size, Geometry(-7, 5, width, height)},   /* the created size: one WM_SIZE */
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.expected, Geometry(Open(row.keys))) << "stored: " << row.keys;
        EXPECT_EQ(1u, starts.size()) << "exactly one first preview, stored: " << row.keys;
    }
    HWND wide = CreateWindowExA(0, "STATIC", "", WS_POPUP, 5, 5, areaWidth + 3, 100, 0, 0, 0, 0);
    CenterWindow(wide);
    GetWindowRect(wide, &r);
    EXPECT_EQ(area.left - 1, r.left) << "3 px wider than the area: -1.5 truncated toward zero";
    DestroyWindow(wide);
}

TEST_F(Sizing, FullScreenWindowAndPresets)
{
    HWND window = Open("X=-20 Y=30 WIDTH=600 HEIGHT=450");
    long screenWidth = GetSystemMetrics(SM_CXSCREEN);
    long screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ("7 EG", ContextMenuStates(window, WM_CONTEXTMENU)) << "framed: restore grayed";
    /* Two previews each way: one as the menu bar goes or comes, one for the new size. */
    EXPECT_EQ("2 " + Geometry(0, 0, screenWidth, screenHeight, " borderless"), Run(IDM_FULL_SCREEN));
    EXPECT_EQ("7 GE", ContextMenuStates(window, WM_CONTEXTMENU));
    ASSERT_TRUE(log.WaitFor("window", 2, 5000));
    EXPECT_EQ(ClientEvent(window), log.Events("client").back()) << "the preview fills the screen";
    EXPECT_EQ("2 " + Geometry(-20, 30, 600, 450), Run(IDM_RESTORE_SIZE));
    Run(IDM_FULL_SCREEN);
    EXPECT_EQ("2 " + Geometry(-20, 30, 640, 480), Run(IDM_SIZE_VGA)) << "the corner from before";
    const struct {
        UINT id;
        long width;
        long height;
        int starts;
    } presets[] = {
        {IDM_SIZE_QVGA, 320, 240, 1},
        {IDM_SIZE_SVGA, 800, 600, 1},
        {IDM_SIZE_XGA, 1024, 768, 1},
        {IDM_SIZE_XGA, 1024, 768, 0},   /* the same size: no restart */
    };
    for (const auto &row : presets) {
        std::string expected = Geometry(-20, 30, row.width, row.height);
        EXPECT_EQ(std::to_string(row.starts) + " " + expected, Run(row.id));
    }
    /* Closed in the mode: the next start is framed at the screen's size. */
    Run(IDM_FULL_SCREEN);
    CloseViewer();
    EXPECT_EQ(Geometry(0, 0, screenWidth, screenHeight), Geometry(OpenViewer()));
}

/* Only exactly 1 is on; a toggle stores 0 or 1, neither moving the window
 * nor restarting the preview. */
TEST_F(Sizing, AlwaysOnTop)
{
    for (bool on : {true, false}) {
        Open("X=50 Y=60 WIDTH=400 HEIGHT=300 WIN_TOP=" + std::string(on ? "1" : "5"));
        for (bool now : {on, !on}) {
            bool topmost = (GetWindowLongA(GetState()->mainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            UINT checked = GetMenuState(GetState()->mainMenu, IDM_TOPMOST, MF_BYCOMMAND) & MF_CHECKED;
            EXPECT_EQ(now, topmost);
            EXPECT_EQ(now, checked != 0);
            if (now == on) {
                EXPECT_EQ("0 " + Geometry(50, 60, 400, 300), Run(IDM_TOPMOST));
            }
        }
        CloseViewer();
        UINT stored = GetPrivateProfileIntA("WINDOW", "WIN_TOP", 9, TestSettingsPath().c_str());
        EXPECT_EQ(on ? 0u : 1u, stored);
    }
}

}  // namespace
