/* The main window's geometry and the settings file: placement, presets,
 * the full-screen window, always on top, the context menu, and the keys
 * and values a run reads and writes. */
#include <gtest/gtest.h>

#include "app/state.h"
#include "res/resource.h"
#include "support/test_support.h"
#include "window/sizing.h"

namespace {

/* The context menu as it opens: its item count, then E or G for the
 * full-screen and restore items; ended at once. */
std::string ContextMenu(HWND window, UINT message)
{
    HELPINFO help = {sizeof(help), HELPINFO_WINDOW, 0, window, 0, {0, 0}};
    std::string states = "no menu";
    When([] { return FindWindowA("#32768", NULL) != NULL; }, [&] {
        HMENU menu = (HMENU)SendMessageA(FindWindowA("#32768", NULL), MN_GETHMENU, 0, 0);
        states = std::to_string(GetMenuItemCount(menu)) + (Grayed(menu, IDM_FULL_SCREEN) ? " G" : " E") +
                 (Grayed(menu, IDM_RESTORE_SIZE) ? "G" : "E");
        EndMenu();
    });
    SendMessageA(window, message, (WPARAM)window, message == WM_HELP ? (LPARAM)&help : -1);
    CancelWhen();
    return states;
}

std::string Geometry(long x, long y, long width, long height, const char *frame = " framed")
{
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x"
           + std::to_string(height) + frame;
}

/* The outer rectangle; menu bar and frame both on or both off, and the
 * client area what that style leaves of the window, so the style took
 * effect. A window whose margins in the work area are equal both ways
 * (within the pixel an odd difference leaves), and not all 0, is
 * "centred". */
std::string Geometry(HWND window)
{
    RECT r;
    RECT inside;
    RECT area;
    GetWindowRect(window, &r);
    GetClientRect(window, &inside);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    AdjustWindowRectEx(&inside, style, GetMenu(window) != NULL, GetWindowLongA(window, GWL_EXSTYLE));
    bool applied = inside.right - inside.left == r.right - r.left && inside.bottom - inside.top == r.bottom - r.top;
    const char *kind = " mixed";
    if (applied && GetMenu(window) == GetState()->mainMenu && (style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW)
        kind = " framed";
    if (applied && GetMenu(window) == NULL && (style & WS_OVERLAPPEDWINDOW) == WS_SYSMENU)
        kind = " borderless";
    long width = r.right - r.left;
    long height = r.bottom - r.top;
    long left = r.left - area.left;
    long top = r.top - area.top;
    if (labs(left - (area.right - r.right)) <= 1 && labs(top - (area.bottom - r.bottom)) <= 1 && (left | top) != 0)
        return "centred " + std::to_string(width) + "x" + std::to_string(height) + kind;
    return Geometry(r.left, r.top, width, height, kind);
}

std::string Joined(const Strings &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

class Sizing : public ::testing::Test {
protected:
    ProbeLog log;

    HWND Open(std::string windowKeys)
    {
        CloseViewer();
        for (char &c : windowKeys) {
            if (c == ' ')
                c = '\n';
        }
        return OpenViewer({ProbePath("probe.scr"), ProbePath("probe_children.scr")}, &log, "[WINDOW]\n" + windowKeys);
    }

    /* The number of previews the command started, and the geometry. */
    std::string Run(UINT id)
    {
        unsigned int before = GetState()->childStarts;
        Command(GetState()->mainWindow, id);
        return std::to_string(GetState()->childStarts - before) + " " + Geometry(GetState()->mainWindow);
    }

    void TearDown() override
    {
        CloseViewer();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    }
};

/* Centred, the window keeps the size a window of its style gets; a stored
 * place is taken only where the user can reach the window by its caption. */
TEST_F(Sizing, PlacementAtStart)
{
    RECT created;
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                                 NULL, NULL, NULL, NULL);
    GetWindowRect(plain, &created);
    DestroyWindow(plain);
    const long width = created.right - created.left;
    const long height = created.bottom - created.top;
    const std::string centred = "centred " + std::to_string(width) + "x" + std::to_string(height) + " framed";
    const struct {
        std::string keys;
        std::string expected;
    } rows[] = {
        {"", centred},
        /* partly off the screen, its caption within reach */
        {"X=-50 Y=10 WIDTH=400 HEIGHT=300", Geometry(-50, 10, 400, 300)},
        {"X=10 Y=10 WIDTH=400 HEIGHT=0", centred},
        {"X=10 Y=10 WIDTH=-1 HEIGHT=300", centred},
        /* out of reach: on no monitor, where Windows parks minimised
         * windows, the caption above the screen or only its buttons on it,
         * a size the system cuts so that the window ends left of it */
        {"X=5000 Y=10 WIDTH=400 HEIGHT=300", centred},
        {"X=-32000 Y=-32000 WIDTH=400 HEIGHT=300", centred},
        {"X=-50 Y=-30 WIDTH=400 HEIGHT=300", centred},
        {"X=-370 Y=10 WIDTH=400 HEIGHT=300", centred},
        {"X=-3000 Y=100 WIDTH=3500 HEIGHT=480", centred},
        {"X=-100000 Y=100 WIDTH=100640 HEIGHT=480", centred},
        /* the created size: one WM_SIZE */
        {"X=-7 Y=5 WIDTH=" + std::to_string(width) + " HEIGHT=" + std::to_string(height), Geometry(-7, 5, width, height)},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.expected, Geometry(Open(row.keys))) << "stored: " << row.keys;
        EXPECT_EQ(1u, GetState()->childStarts) << "exactly one first preview, stored: " << row.keys;
    }
}

TEST_F(Sizing, FullScreenWindowPresetsAndContextMenu)
{
    HWND window = Open("X=-20 Y=30 WIDTH=600 HEIGHT=450");
    long screenWidth = GetSystemMetrics(SM_CXSCREEN);
    long screenHeight = GetSystemMetrics(SM_CYSCREEN);
    std::string screen = Geometry(0, 0, screenWidth, screenHeight, " borderless");
    EXPECT_EQ("7 EG", ContextMenu(window, WM_CONTEXTMENU)) << "framed: restore grayed";
    /* One preview each way, though the menu bar and the size both change. */
    EXPECT_EQ("1 " + screen, Run(IDM_FULL_SCREEN));
    EXPECT_EQ("7 GE", ContextMenu(window, WM_HELP)) << "F1 shows it too";
    EXPECT_TRUE(PumpUntil([&] { return log.Events("client").back() == ClientEvent(window); }, 5000))
        << "the preview fills the screen";
    /* The menu bar is off the window, but the recent entries follow the list. */
    Command(window, IDM_RECENT_2);
    EXPECT_EQ("1 " + Geometry(-20, 30, 600, 450), Run(IDM_RESTORE_SIZE));
    EXPECT_EQ((Strings{"202 probe_children.scr", "203 probe.scr"}), RecentMenuEntries(window));
    Run(IDM_FULL_SCREEN);
    EXPECT_EQ("1 " + Geometry(-20, 30, 640, 480), Run(IDM_SIZE_VGA)) << "the corner from before";
    EXPECT_EQ("1 " + Geometry(-20, 30, 320, 240), Run(IDM_SIZE_QVGA));
    EXPECT_EQ("0 " + Geometry(-20, 30, 320, 240), Run(IDM_SIZE_QVGA)) << "the same size: no restart";
    /* Closed in the mode: the next start has the window from before it. */
    Run(IDM_FULL_SCREEN);
    CloseViewer();
    HWND next = OpenViewer({}, NULL, "[WINDOW]\n" + Joined(IniSection(TestSettingsPath(), "WINDOW")));
    EXPECT_EQ(Geometry(-20, 30, 320, 240), Geometry(next));
    /* A window at the monitor's rectangle: the frame still goes and comes back. */
    CloseViewer();
    OpenViewer({}, NULL, "[WINDOW]\nX=0\nY=0\nWIDTH=" + std::to_string(screenWidth) + "\nHEIGHT=" +
                         std::to_string(screenHeight) + "\n");
    EXPECT_EQ("0 " + screen, Run(IDM_FULL_SCREEN));
    EXPECT_EQ("0 " + Geometry(0, 0, screenWidth, screenHeight), Run(IDM_RESTORE_SIZE));
}

/* Only exactly 1 is on; a toggle stores 0 or 1, neither moving the window
 * nor restarting the preview. */
TEST_F(Sizing, AlwaysOnTop)
{
    const struct {
        const char *stored;
        bool on;
    } rows[] = {
        {"1", true},
        {"5", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.stored);
        HWND window = Open("X=50 Y=60 WIDTH=400 HEIGHT=300 WIN_TOP=" + std::string(row.stored));
        for (bool on : {row.on, !row.on}) {
            bool topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            UINT checked = GetMenuState(GetState()->mainMenu, IDM_TOPMOST, MF_BYCOMMAND) & MF_CHECKED;
            EXPECT_EQ(on, topmost);
            EXPECT_EQ(on, checked != 0);
            if (on == row.on) {
                EXPECT_EQ("0 " + Geometry(50, 60, 400, 300), Run(IDM_TOPMOST));
            }
        }
        CloseViewer();
        EXPECT_EQ(row.on ? 0u : 1u, GetPrivateProfileIntA("WINDOW", "WIN_TOP", 9, TestSettingsPath().c_str()));
    }
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list)
{
    MONITORINFO info;
    info.cbSize = sizeof(info);
    GetMonitorInfoA(monitor, &info);
    ((std::vector<RECT> *)list)->push_back(info.rcMonitor);
    return TRUE;
}

/* The full-screen window fills the monitor the window is on, not the
 * primary one, and gives the window back where it was. */
TEST_F(Sizing, TwoMonitorsFullScreenWindowOnItsOwnMonitor)
{
    if (GetSystemMetrics(SM_CMONITORS) < 2)
        GTEST_SKIP() << "one monitor here; scripts/test.sh runs this on a display with two";
    std::vector<RECT> monitors;
    EnumDisplayMonitors(NULL, NULL, CollectMonitor, (LPARAM)&monitors);
    for (const RECT &monitor : monitors) {
        long x = monitor.left + 60;
        long y = monitor.top + 50;
        OpenViewer({}, NULL, "[WINDOW]\nX=" + std::to_string(x) + "\nY=" + std::to_string(y) + "\nWIDTH=400\nHEIGHT=300\n");
        EXPECT_EQ("0 " + Geometry(monitor.left, monitor.top, monitor.right - monitor.left,
                                  monitor.bottom - monitor.top, " borderless"), Run(IDM_FULL_SCREEN));
        EXPECT_EQ("0 " + Geometry(x, y, 400, 300), Run(IDM_RESTORE_SIZE));
        CloseViewer();
    }
}

Strings Keys(const char *prefix, const Strings &values)
{
    Strings keys;
    for (size_t slot = 0; slot < values.size(); slot++)
        keys.push_back(prefix + std::to_string(slot + 1) + "=" + values[slot]);
    return keys;
}

/* A first run writes every key. Odd numbers pass through a run unchanged,
 * but a value that no file name can be is not taken for a path: cut, a
 * value too long would name another file; a tab or a quotation mark would
 * hand the rest to the saver as its switches. The paths that are taken
 * move up over the gaps, so that the menu lists them all. A minimised
 * window reports the icon's place: its restored rectangle is stored. The
 * end of the session saves as a close would; a session that goes on does
 * not. */
TEST(Settings, KeysAndValuesThroughARun)
{
    const std::string longest = "C:\\" + std::string(253, 'x') + ".scr";   /* 260 */
    const Strings odd = {"X=-40", "Y=10", "WIDTH=420", "HEIGHT=310", "WIN_TOP=5"};
    const Strings placed = {"X=100", "Y=80", "WIDTH=400", "HEIGHT=300", "WIN_TOP=0"};
    const struct {
        const char *label;
        Strings window;     /* stored, and expected back; empty: none stored, the window's own expected */
        Strings savers;     /* SCREENSAVER_1 to _5 stored */
        std::function<void(HWND)> act;  /* before the close, or instead of it */
        Strings loaded;     /* the recent slots */
    } rows[] = {
        {"a first run", {}, {}, [](HWND) {}, {"", "", "", "", ""}},
        {"gaps and a value too long", odd, {"C:\\none\\a.scr", "", "C:\\none\\gap.scr", longest, longest + "x"},
         [](HWND) {}, {"C:\\none\\a.scr", "C:\\none\\gap.scr", longest, "", ""}},
        {"characters no file name holds", odd,
         {ProbePath("probe.scr") + "\t/s", "C:\\none\\a<b.scr", "C:\\none\\\x83\x7C.scr", "C:\\none\\\"q.scr",
          "C:\\none\\a|b.scr"},
         [](HWND) {}, {"C:\\none\\\x83\x7C.scr", "", "", "", ""}},
        {"minimised", placed, {}, [](HWND window) {
            ShowWindow(window, SW_MINIMIZE);
            PumpMessages(100);
        }, {"", "", "", "", ""}},
        {"the session ends", placed, {}, [](HWND window) {
            SetWindowPos(window, NULL, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
            SendMessageA(window, WM_ENDSESSION, FALSE, 0);
            EXPECT_TRUE(IniSection(TestSettingsPath(), "WINDOW").empty()) << "saved while the session goes on";
            SendMessageA(window, WM_ENDSESSION, TRUE, 0);
            EXPECT_EQ(640u, GetPrivateProfileIntA("WINDOW", "WIDTH", 0, TestSettingsPath().c_str()));
            SetWindowPos(window, NULL, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
        }, {"", "", "", "", ""}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        Strings system = Keys("SCREENSAVER_", row.savers);
        system.insert(system.begin(), "START_PLAY_STATE=7");
        std::string text = row.window.empty() ? "" : "[WINDOW]\n" + Joined(row.window) + "[SYSTEM]\n" + Joined(system);
        HWND window = OpenViewer({}, NULL, text);
        EXPECT_EQ(0u, GetState()->childStarts) << "a saver from a value that is no path";
        RECT shown;
        GetWindowRect(window, &shown);
        Strings menu;
        for (const std::string &path : row.loaded) {
            if (!path.empty())
                menu.push_back(std::to_string(IDM_RECENT_1 + menu.size()) + " " + path.substr(path.rfind('\\') + 1));
        }
        EXPECT_EQ(menu, RecentMenuEntries(window));
        DeleteFileA(TestSettingsPath().c_str());
        row.act(window);
        CloseViewer();
        Strings expected = row.window;
        if (expected.empty())
            expected = {"X=" + std::to_string(shown.left), "Y=" + std::to_string(shown.top),
                        "WIDTH=" + std::to_string(shown.right - shown.left),
                        "HEIGHT=" + std::to_string(shown.bottom - shown.top), "WIN_TOP=0"};
        system = Keys("SCREENSAVER_", row.loaded);
        system.insert(system.begin(), row.window.empty() ? "START_PLAY_STATE=0" : "START_PLAY_STATE=7");
        EXPECT_EQ(expected, IniSection(TestSettingsPath(), "WINDOW"));
        EXPECT_EQ(system, IniSection(TestSettingsPath(), "SYSTEM"));
    }
}

}  // namespace
