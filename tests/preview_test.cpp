// The live preview on a real viewer window in this process, with real probe
// savers: command lines, play states, closing, stopping savers, leaks, help.
#include <gtest/gtest.h>
#include "app/state.h"
#include "host/saver_process.h"
#include "res/resource.h"
#include "res/version.h"
#include "support/test_support.h"

namespace {
const UINT kPreviewCommands[] = {IDM_START_SAVER, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS};
void CloseAndCheckNoProbe() { CloseViewer(); EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000)); }
void Command(HWND w, UINT id) { SendMessageA(w, WM_COMMAND, id, 0); }
void Resize(HWND w, int cx, int cy) { SetWindowPos(w, NULL, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER); }
bool Grayed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }
std::string ClientEvent(HWND w) {  // what a probe filling the window logs
    RECT r = {};
    GetClientRect(w, &r);
    return "client " + std::to_string(r.right) + " " + std::to_string(r.bottom);
}
unsigned long TickOf(const ProbeLog &log, const std::string &event, size_t nth) {
    for (const std::string &line : log.Lines())
        if (line.find(" " + event) != std::string::npos && nth-- == 0) return strtoul(line.c_str(), NULL, 10);
    return 0;
}
TEST(SaverCommand, SignedDecimalHandleNoQuotesAndBound) {
    const std::string tooLong(COMMAND_BUFFER - 4, 'x');
    struct Row { const char *label, *path, *sw; INT_PTR parent; size_t size; const char *want; } rows[] = {
        {"blanks, unquoted", "C:\\My Savers\\a b.scr", "/p", 656402, COMMAND_BUFFER, "C:\\My Savers\\a b.scr /p 656402"},
        {"top bit: minus", "s.scr", "/p", (INT_PTR)(UINT_PTR)0x80000010u, COMMAND_BUFFER, "s.scr /p -2147483632"},
        {"no parent", "s.scr", "/S", 0, COMMAND_BUFFER, "s.scr /S"}, {"just fits", "s.scr", "/S", 0, 9, "s.scr /S"},
        {"a byte short", "s.scr", "/S", 0, 8, NULL}, {"over-long path", tooLong.c_str(), "/p", 1, COMMAND_BUFFER, NULL}};
    for (const Row &r : rows) {
        char buffer[COMMAND_BUFFER] = "";
        EXPECT_EQ(BuildSaverCommand(buffer, r.size, r.path, r.sw, (HWND)r.parent), r.want ? 1 : 0) << r.label;
        EXPECT_STREQ(buffer, r.want ? r.want : buffer) << r.label;
    }
}
TEST(PreviewStates, NoSaverStaysReady) {
    for (const char *saver : {"", "C:\\no such folder\\gone.scr"}) {
        HWND w = OpenViewerWith({saver});
        Resize(w, 500, 400);
        for (UINT id : kPreviewCommands) Command(w, id);
        EXPECT_EQ(GetState()->playState, PLAY_READY) << saver;
        EXPECT_EQ(WindowTitle(w), NOVRA_TITLE) << saver;
        for (UINT id : kPreviewCommands) EXPECT_FALSE(Grayed(GetMenu(w), id)) << saver << " " << id;
        CloseViewer();
    }
}
TEST(PreviewStates, FollowsResizeResetDragAndStop) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "novra b saver", saver = folder + "\\my probe.scr";
    CreateDirectoryA(folder.c_str(), NULL);
    ASSERT_TRUE(CopyFileA(ProbePath("probe.scr").c_str(), saver.c_str(), FALSE));
    const std::string previewTitle = std::string(NOVRA_TITLE) + " [" + saver + "]";
    ProbeLog log;
    const DWORD opening = GetTickCount();
    HWND w = OpenViewerWith({saver});
    EXPECT_LT(GetTickCount() - opening, 500u) << "the first start pauses";
    EXPECT_EQ(WindowTitle(w), previewTitle);
    ASSERT_TRUE(log.WaitFor("paint", 1, 5000));
    EXPECT_EQ(log.Events("mode ")[0], "mode p parent " + std::to_string((int)(INT_PTR)w));
    for (UINT id : {0u, 1u, 9999u, 0xFFFFu}) Command(w, id);
    Resize(w, 600, 450);
    ASSERT_TRUE(log.WaitFor("paint", 2, 5000));
    EXPECT_EQ(log.Events("start ").size(), 2u) << "unknown commands restart";
    EXPECT_GE(TickOf(log, "start ", 1) - TickOf(log, "WM_CLOSE", 0), 499u) << "pause after the stop";
    EXPECT_EQ(log.Events("client ")[1], ClientEvent(w));
    EXPECT_EQ(WindowTitle(w), previewTitle);
    Command(w, IDM_RESET);
    ASSERT_TRUE(log.WaitFor("paint", 3, 5000));
    EXPECT_EQ(log.Events("WM_CLOSE").size(), 2u);
    SendMessageA(w, WM_ENTERSIZEMOVE, 0, 0);
    for (int step = 0; step < 4; step++) Resize(w, 400 + 40 * step, 300 + 30 * step);
    PumpMessages(300);
    EXPECT_EQ(log.Events("start ").size(), 3u) << "restarted during the drag";
    SendMessageA(w, WM_EXITSIZEMOVE, 0, 0);
    ASSERT_TRUE(log.WaitFor("paint", 4, 5000));
    EXPECT_EQ(log.Events("client ").back(), ClientEvent(w));
    Command(w, IDM_STOP);
    EXPECT_EQ(GetState()->playState, PLAY_STOPPED);
    EXPECT_EQ(WindowTitle(w), NOVRA_TITLE);
    for (UINT id : kPreviewCommands) EXPECT_TRUE(Grayed(GetMenu(w), id)) << id;
    SetWindowTextA(w, "changed");
    Resize(w, 500, 400);
    Command(w, IDM_RESET);
    PumpMessages(800);
    EXPECT_EQ(WindowTitle(w), NOVRA_TITLE);
    EXPECT_EQ(log.Events("start ").size(), 4u);
    EXPECT_EQ(GetState()->playState, PLAY_STOPPED);
    CloseAndCheckNoProbe();
    DeleteFileA(saver.c_str());
    RemoveDirectoryA(folder.c_str());
}
// The saver's window, as it goes, notifies the viewer: by then the settings
// must be on disk. 1 saved, 2 not saved, 0 no stop seen.
int g_savedAtStop;
WNDPROC g_viewerProc;
LRESULT CALLBACK SpyProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    const std::string saved = "SCREENSAVER_1=" + ProbePath("probe.scr") + "\r\n";
    if (message == WM_PARENTNOTIFY && LOWORD(wp) == WM_DESTROY)
        g_savedAtStop = ReadFileText(TestSettingsPath()).find(saved) != std::string::npos ? 1 : 2;
    return CallWindowProcA(g_viewerProc, w, message, wp, lp);
}
TEST(PreviewClose, SavesThenStopsThenEnds) {
    struct Row { const char *label; UINT message; WPARAM wp; bool stopFirst; } rows[] = {
        {"close box", WM_CLOSE, 0, false}, {"Exit", WM_COMMAND, IDM_EXIT, false}, {"after Stop", WM_CLOSE, 0, true}};
    for (const Row &r : rows) {
        ProbeLog log;
        HWND w = OpenViewerWith({ProbePath("probe.scr")});
        ASSERT_TRUE(log.WaitFor("paint", 1, 5000)) << r.label;
        RemoveTestSettings();
        if (r.stopFirst) Command(w, IDM_STOP);
        std::vector<HANDLE> mine(r.stopFirst ? 64 : 0);  // reuse the values of the stopped preview's closed handles
        for (HANDLE &h : mine) h = CreateEventA(NULL, FALSE, FALSE, NULL);
        g_savedAtStop = 0;
        g_viewerProc = (WNDPROC)SetWindowLongPtrA(w, GWLP_WNDPROC, (LONG_PTR)SpyProc);
        SendMessageA(w, r.message, r.wp, 0);
        MSG quit;
        EXPECT_TRUE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) << r.label;
        EXPECT_FALSE(IsWindow(w)) << r.label;
        EXPECT_EQ(g_savedAtStop, r.stopFirst ? 0 : 1) << r.label;
        EXPECT_EQ(log.Events("WM_CLOSE").size(), 1u) << r.label;
        EXPECT_FALSE(IniSection(TestSettingsPath(), "WINDOW").empty()) << r.label;
        for (HANDLE h : mine) EXPECT_TRUE(WaitForSingleObject(h, 0) == WAIT_TIMEOUT && CloseHandle(h)) << r.label << h;
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000)) << r.label;
    }
}
// A missing help file makes winhlp32 ask, naming the file, in a Yes/No box
// while the viewer waits: answer No.
std::string g_helpText;
DWORD WINAPI AnswerHelpBox(void *) {
    for (int tries = 0; tries < 190; tries++, Sleep(50))
        for (DWORD pid : ProcessesNamed("winhlp32"))
            for (HWND box = NULL; (box = FindWindowExA(NULL, box, "#32770", NULL)) != NULL;) {
                DWORD owner = 0;
                char text[1024] = "";
                GetWindowThreadProcessId(box, &owner);
                if (owner != pid || !GetDlgItemTextA(box, 0xFFFF, text, sizeof text)) continue;
                g_helpText = text;
                return !PostMessageA(box, WM_COMMAND, IDNO, 0);
            }
    return 1;
}
// A timer inside the menu's loop records the popup and ends it (or gives up
// after 3 s): "<items> <5th a separator> <restore grayed> <full screen grayed>".
std::string g_menuSeen;
void CALLBACK InspectMenu(HWND, UINT, UINT_PTR, DWORD) {
    static int ticks;
    HWND popup = FindWindowA("#32768", NULL);
    HMENU menu = popup && IsWindowVisible(popup) ? (HMENU)SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0) : NULL;
    if (GetMenuItemCount(menu) < 5 && ++ticks % 60 != 0) return;
    g_menuSeen = std::to_string(GetMenuItemCount(menu)) + " " +
                 std::to_string((GetMenuState(menu, 4, MF_BYPOSITION) & MF_SEPARATOR) != 0) + " " +
                 std::to_string(Grayed(menu, IDM_RESTORE_SIZE)) + " " + std::to_string(Grayed(menu, IDM_FULL_SCREEN));
    EndMenu();
}
TEST(Help, MenuFromRightClickAndF1HelpFileFromTheCommand) {
    HWND w = OpenViewerWith({""});
    HELPINFO help = {sizeof help, HELPINFO_WINDOW, 0, w, 0, {0, 0}};
    for (UINT message : {WM_CONTEXTMENU, WM_HELP}) {
        g_menuSeen = "no menu";
        UINT_PTR timer = SetTimer(NULL, 0, 50, InspectMenu);
        SendMessageA(w, message, (WPARAM)w, message == WM_HELP ? (LPARAM)&help : MAKELPARAM(-1, -1));
        KillTimer(NULL, timer);
        EXPECT_EQ(g_menuSeen, "7 1 1 0") << message;
    }
    HANDLE answer = CreateThread(NULL, 0, AnswerHelpBox, NULL, 0, NULL);
    Command(w, IDM_HELP);
    EXPECT_TRUE(JoinThread(answer));
    EXPECT_NE(g_helpText.find(ProgramFolder() + "NOVRA.hlp"), std::string::npos) << g_helpText;
    EXPECT_TRUE(WaitNoProcessesNamed("winhlp32", 5000));
    CloseViewer();
}
// Stop ends any saver soon, its own child windows first; one that ends by itself keeps its exit code.
TEST(PreviewStop, EndsEverySaver) {
    struct Row { const char *saver; DWORD exitCode; std::vector<std::string> closes; } rows[] = {
        {"probe.scr", 7, {"WM_CLOSE"}}, {"probe_ignoreclose.scr", 0, {"WM_CLOSE"}},
        {"probe_hangclose.scr", 0, {"WM_CLOSE"}},
        {"probe_children.scr", 7, {"WM_CLOSE child 2", "WM_CLOSE child 1", "WM_CLOSE"}}};
    for (const Row &r : rows) {
        ProbeLog log;
        HWND w = OpenViewerWith({ProbePath(r.saver)});
        ASSERT_TRUE(log.WaitFor("paint", 1, 5000)) << r.saver;
        HANDLE probe = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, GetState()->processInfo.dwProcessId);
        DWORD stop = GetTickCount(), code = STILL_ACTIVE;
        Command(w, IDM_STOP);
        EXPECT_LT(GetTickCount() - stop, 3000u) << r.saver;
        EXPECT_EQ(WaitForSingleObject(probe, 3000), WAIT_OBJECT_0) << r.saver;
        GetExitCodeProcess(probe, &code), CloseHandle(probe);
        EXPECT_EQ(code, r.exitCode) << r.saver;
        EXPECT_EQ(log.Events("WM_CLOSE"), r.closes) << r.saver;
        CloseAndCheckNoProbe();
    }
}
// Wine counts no handles, GDI or USER objects: count the values naming an open handle.
DWORD HandleUse() {
    DWORD count = 0, flags;
    for (UINT_PTR value = 4; value < 0x10000; value += 4) count += GetHandleInformation((HANDLE)value, &flags) != 0;
    return count;
}
// Wine reports no GDI or USER objects at all; on Windows these count the viewer's own.
DWORD GuiUse(DWORD kind) { return GetGuiResources(GetCurrentProcess(), kind); }
TEST(PreviewStop, TwoHundredRestartsLeakNothing) {
    ProbeLog log;
    HWND w = OpenViewerWith({ProbePath("probe.scr")});
    DWORD before = 0, gdi = 0, user = 0;
    for (int restart = 1; restart <= 200; restart++) {
        ASSERT_TRUE(PumpUntil([&] { return ChildWindows(w).size() == 1; }, 5000)) << restart;
        Command(w, IDM_RESET);
        if (restart == 10) before = HandleUse(), gdi = GuiUse(GR_GDIOBJECTS), user = GuiUse(GR_USEROBJECTS);
    }
    PumpMessages(300);
    EXPECT_LE(HandleUse(), before + 4);
    EXPECT_LE(GuiUse(GR_GDIOBJECTS), gdi + 4);
    EXPECT_LE(GuiUse(GR_USEROBJECTS), user + 4);
    EXPECT_EQ(ProcessesNamed("probe").size(), 1u);
    CloseAndCheckNoProbe();
}
}  // namespace
