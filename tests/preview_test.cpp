/* The live preview in a viewer window of this process, with real probe
 * savers: command lines, play states, stops, closing, leaks and help. */
#include <gtest/gtest.h>

#include <fstream>

#include "app/state.h"
#include "host/launcher.h"
#include "res/resource.h"
#include "res/version.h"
#include "support/test_support.h"

namespace {

const std::vector<UINT> previewCommands = {IDM_START_SAVER, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS};

DWORD Running()
{
    return GetState()->processInfo.dwProcessId;
}

void Resize(HWND window, int width, int height)
{
    SetWindowPos(window, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

/* Events made as the viewer is destroyed take the values of handles it
 * closed: closing one again would end an event. */
std::vector<HANDLE> reused(64);

void ReuseClosedHandles(UINT message)
{
    for (size_t i = 0; message == WM_DESTROY && i < reused.size(); i++)
        reused[i] = CreateEventA(NULL, FALSE, FALSE, NULL);
}

void ExpectReusedHandlesOpen()
{
    for (HANDLE handle : reused) {
        EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(handle, 0)) << "closed twice: " << handle;
        CloseHandle(handle);
    }
}

TEST(SaverCommand, NamesThePathWholeAndFitsItsBuffer)
{
    const std::string longest = "C:\\a b\\" + std::string(249, 'x') + ".scr";   /* 260 */
    const struct {
        std::string path;
        const char *switchText;
        UINT_PTR parent;
        size_t size;
        std::string want;   /* empty: does not fit */
    } rows[] = {
        {"C:\\My Savers\\a b.scr", "/p", 656402, COMMAND_BUFFER, "\"C:\\My Savers\\a b.scr\" /p 656402"},
        {"s.scr", "/c", 0x80000010u, COMMAND_BUFFER, "s.scr /c -2147483632"},
        {"C:\\a b\\\x95\x5C", "/S", 0, COMMAND_BUFFER, "\"C:\\a b\\\x95\x5C\" /S"},
        {longest, "/p", 0x80000000u, COMMAND_BUFFER, "\"" + longest + "\" /p -2147483648"},
        {"a b.scr", "/S", 0, 13, "\"a b.scr\" /S"},
        {"a b.scr", "/S", 0, 12, ""},
        {"C:\\x\\probe.scr\" /s x", "/p", 5, COMMAND_BUFFER, ""},
    };
    for (const auto &row : rows) {
        char buffer[COMMAND_BUFFER] = "";
        int fits = BuildSaverCommand(buffer, row.size, row.path.c_str(), row.switchText, (HWND)row.parent);
        EXPECT_EQ(row.want.empty() ? 0 : 1, fits) << row.path << " in " << row.size;
        EXPECT_EQ(row.want, fits == 1 ? buffer : "");
    }
}

TEST(Preview, FollowsResizeResetAndDrag)
{
    const std::string saver = MakeTempFolder(" b saver") + "my probe.scr";
    ASSERT_TRUE(CopyFileA(ProbePath("probe.scr").c_str(), saver.c_str(), FALSE));
    ProbeLog log;
    HWND window = OpenViewer({saver}, &log);
    EXPECT_EQ("mode p parent " + std::to_string((int)(INT_PTR)window), log.Events("mode")[0]);
    DWORD running = Running();
    for (UINT unknown : {0u, 1u, 9999u, 0xFFFFu})
        Command(window, unknown);
    EXPECT_EQ(running, Running()) << "unknown commands do nothing";
    Resize(window, 600, 450);
    ASSERT_TRUE(log.WaitFor("paint", 2, 5000));
    EXPECT_LE(499u, log.Entries("start")[1].tick - log.Entries("WM_CLOSE")[0].tick) << "pause after a stop";
    EXPECT_EQ(ClientEvent(window), log.Events("client")[1]);
    Command(window, IDM_RESET);
    EXPECT_NE(running, Running()) << "Reset restarts";
    running = Running();
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    for (int step = 1; step <= 3; step++)
        Resize(window, 400 + 40 * step, 300 + 30 * step);
    EXPECT_EQ(running, Running()) << "restarted during the drag";
    SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_NE(running, Running()) << "no restart after the drag";
    Command(window, IDM_STOP);
    SetWindowTextA(window, "changed");
    Resize(window, 500, 400);
    Command(window, IDM_RESET);
    EXPECT_EQ(NOVRA_TITLE, WindowTitle(window));
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000)) << "a stopped preview stays stopped";
    CloseViewer();
    DeleteFileA(saver.c_str());
    RemoveDirectoryA(saver.substr(0, saver.rfind('\\')).c_str());
}

/* Minimised or sized down to no client height, the window has nowhere to
 * show a preview; it comes back as after any resize. */
TEST(Preview, NeverStartsIntoAnEmptyClientArea)
{
    ProbeLog log;
    HWND window = OpenViewer({ProbePath("probe.scr")}, &log);
    RECT frame = {0, 0, 500, 0};
    AdjustWindowRectEx(&frame, GetWindowLongA(window, GWL_STYLE), TRUE, GetWindowLongA(window, GWL_EXSTYLE));
    for (size_t zeroHeight = 0; zeroHeight < 2; zeroHeight++) {
        if (zeroHeight)
            Resize(window, frame.right - frame.left, frame.bottom - frame.top);
        ShowWindow(window, zeroHeight ? SW_SHOWNORMAL : SW_MINIMIZE);
        ASSERT_NE(std::string::npos, ClientEvent(window).find(" 0")) << ClientEvent(window);
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
        if (zeroHeight)
            Resize(window, 500, 400);
        ShowWindow(window, SW_RESTORE);
        ASSERT_TRUE(log.WaitFor("paint", 2 + zeroHeight, 5000));
        EXPECT_EQ(2 + zeroHeight, log.Events("start").size()) << "a start into no room";
        EXPECT_EQ(ClientEvent(window), log.Events("client").back());
    }
    CloseViewer();
}

/* Whatever the saver does and however the viewer ends, it stays usable and
 * leaves nothing running; a failed start changes neither title nor state.
 * The settings are on disk before a closing viewer's saver goes. */
TEST(PreviewStop, EverySaverEndsEveryWay)
{
    const std::string notProgram = MakeTempFolder("") + "text.scr";
    std::ofstream(notProgram) << "not a program";
    const struct {
        std::string saver;
        std::vector<UINT> commands;
        PlayState state;
        bool exit;
        Strings closes;   /* empty: not checked, nothing painted */
    } rows[] = {
        {"", previewCommands, PLAY_READY, false, {}},
        {"C:\\no such folder\\gone.scr", previewCommands, PLAY_READY, false, {}},
        {notProgram, previewCommands, PLAY_READY, false, {}},
        {ProbePath("probe_exitnow.scr"), {IDM_RESET}, PLAY_PREVIEW, false, {}},
        {ProbePath("probe_nowindow.scr"), {IDM_RESET}, PLAY_PREVIEW, false, {}},
        {ProbePath("probe_toplevel.scr"), {IDM_RESET}, PLAY_PREVIEW, false, {}},
        {ProbePath("probe.scr"), {}, PLAY_PREVIEW, false, {"WM_CLOSE"}},
        {ProbePath("probe.scr"), {}, PLAY_PREVIEW, true, {"WM_CLOSE"}},
        {ProbePath("probe.scr"), {IDM_STOP}, PLAY_STOPPED, false, {"WM_CLOSE"}},
        {ProbePath("probe_ignoreclose.scr"), {IDM_STOP}, PLAY_STOPPED, false, {"WM_CLOSE"}},
        {ProbePath("probe_hangclose.scr"), {IDM_STOP}, PLAY_STOPPED, true, {"WM_CLOSE"}},
        {ProbePath("probe_children.scr"), {IDM_STOP}, PLAY_STOPPED, false,
         {"WM_CLOSE child 2", "WM_CLOSE child 1", "WM_CLOSE"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.saver + (row.exit ? " Exit" : ""));
        ProbeLog log;
        HWND window = OpenViewer({row.saver}, row.closes.empty() ? NULL : &log);
        for (UINT id : row.commands)
            Command(window, id);
        EXPECT_EQ(row.state, GetState()->playState);
        EXPECT_EQ(row.state == PLAY_PREVIEW ? PreviewTitle(row.saver) : NOVRA_TITLE, WindowTitle(window));
        for (UINT id : previewCommands)
            EXPECT_EQ(row.state == PLAY_STOPPED, Grayed(GetMenu(window), id)) << id;
        EXPECT_TRUE(row.state != PLAY_STOPPED || WaitNoProcessesNamed("probe", 5000)) << "Stop ends it";
        DeleteFileA(TestSettingsPath().c_str());
        bool savedFirst = false;
        Spy(window, [&](UINT message, WPARAM wParam) {
            if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_DESTROY)
                savedFirst = !IniSection(TestSettingsPath(), "WINDOW").empty();
            ReuseClosedHandles(message);
        });
        SendMessageA(window, row.exit ? WM_COMMAND : WM_CLOSE, IDM_EXIT, 0);
        MSG quit;
        EXPECT_TRUE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(row.state == PLAY_PREVIEW && !row.closes.empty(), savedFirst);
        EXPECT_FALSE(IniSection(TestSettingsPath(), "WINDOW").empty());
        EXPECT_EQ(row.closes, row.closes.empty() ? row.closes : log.Events("WM_CLOSE"));
        ExpectReusedHandlesOpen();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
        EndProcessesNamed("probe");
    }
    DeleteFileA(notProgram.c_str());
}

/* Sent from another thread, WM_CLOSE is handled inside the bounded waits
 * of a stop: the restart around it must then do nothing more. */
DWORD WINAPI CloseOnFirstStop(void *window)
{
    char path[MAX_PATH + 1] = "";
    GetEnvironmentVariableA("NOVRA_PROBE_LOG", path, sizeof(path));
    for (int wait = 0; wait < 1000; wait++) {
        if (ReadFileText(path).find("WM_CLOSE") != std::string::npos)
            return SendMessageA((HWND)window, WM_CLOSE, 0, 0);
        Sleep(5);
    }
    return 1;
}

TEST(PreviewStop, CloseDuringTheWaitOfAStop)
{
    ProbeLog log;
    HWND window = OpenViewer({ProbePath("probe_hangclose.scr")}, &log);
    Spy(window, [](UINT message, WPARAM) { ReuseClosedHandles(message); });
    HANDLE closer = CreateThread(NULL, 0, CloseOnFirstStop, window, 0, NULL);
    Command(window, IDM_RESET);
    EXPECT_TRUE(JoinThread(closer));
    EXPECT_FALSE(IsWindow(window));
    ExpectReusedHandlesOpen();
    EXPECT_EQ(1u, log.Events("start").size()) << "a saver started for a destroyed window";
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
}

/* Wine counts no handles: count the values that name an open one. A new
 * handle takes a free slot of the table, which stays far below 1024 slots
 * here; each look is a call to the server, so look no further. */
DWORD HandlesInUse()
{
    DWORD count = 0;
    DWORD flags;
    for (UINT_PTR value = 4; value < 0x1000; value += 4)
        count += GetHandleInformation((HANDLE)value, &flags) ? 1 : 0;
    return count;
}

TEST(PreviewStop, RestartsLeakNothing)
{
    const int restarts = 20;
    HWND window = OpenViewer({ProbePath("probe.scr")});
    DWORD before[3] = {};
    for (int restart = 1; restart <= restarts + 1; restart++) {
        ASSERT_TRUE(PumpUntil([&] { return ChildWindows(window).size() == 1; }, 5000));
        DWORD now[3] = {HandlesInUse(), GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                        GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
        if (restart == 3)
            std::copy(now, now + 3, before);
        /* One object leaked per restart would exceed this. */
        for (int kind = 0; restart > restarts && kind < 3; kind++)
            EXPECT_LE(now[kind], before[kind] + (restarts - 3) / 2) << "handles, GDI, USER: " << kind;
        Command(window, IDM_RESET);
    }
    if (before[1] == 0 && before[2] == 0)
        printf("GDI and USER object counts: not reported here (Wine), not checked\n");
    CloseViewer();
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
}

/* A missing help file makes the help program ask, naming the file, in a
 * Yes/No box while the viewer waits: answer No. */
char helpText[1024];

DWORD WINAPI AnswerHelpBox(void *)
{
    for (int tries = 0; tries < 200; tries++) {
        Sleep(50);
        HWND box = FindWindowA("#32770", NULL);
        if (box != NULL && GetDlgItemTextA(box, 0xFFFF, helpText, sizeof(helpText)))
            return !PostMessageA(box, WM_COMMAND, IDNO, 0);
    }
    return 1;
}

TEST(Help, OpensTheFileBesideTheProgram)
{
    HWND window = OpenViewer();
    HANDLE answer = CreateThread(NULL, 0, AnswerHelpBox, NULL, 0, NULL);
    Command(window, IDM_HELP);
    EXPECT_TRUE(JoinThread(answer));
    EXPECT_NE(std::string::npos, std::string(helpText).find(ProgramFolder() + "NOVRA.hlp")) << helpText;
    EXPECT_TRUE(WaitNoProcessesNamed("winhlp32", 5000));
    CloseViewer();
}

}  // namespace
