#include <gtest/gtest.h>

#include "res/resource.h"
#include "support/test_support.h"

namespace {

typedef std::vector<std::string> Strings;

std::string Decimal(HWND window) { return std::to_string((int)(INT_PTR)window); }

/* Starts, close requests and modal exits, in order. A stopped preview may
 * or may not log its own exit before it is terminated. */
Strings Trail(const ProbeLog &log)
{
    Strings trail;
    for (const std::string &event : log.Events(""))
        if (event.compare(0, 5, "start") == 0 || event == "WM_CLOSE" || event == "exit 5")
            trail.push_back(event);
    return trail;
}

DWORD TickOf(const ProbeLog &log, const std::string &event)
{
    for (const std::string &line : log.Lines())
        if (line.compare(line.find(' ', line.find(' ') + 1) + 1, event.size(), event) == 0)
            return strtoul(line.c_str(), NULL, 10);
    return 0;
}

HWND OpenPreviewing(ProbeLog &log, const Strings &savers)
{
    HWND window = OpenViewerWith(savers);
    EXPECT_TRUE(log.WaitFor("paint", 1, 5000));
    log.Clear();
    return window;
}

const ProbeLog *g_log;
std::function<void()> g_during;

/* Fires in the run's own loop; acts once the child has shown its window. */
void CALLBACK ActDuringRun(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_log->Events("window").empty())
        return;
    KillTimer(NULL, timer);
    std::function<void()> action;
    action.swap(g_during);
    action();
}

/* A run still waiting after 15 s fails the test instead of hanging it. The
 * timer also wakes a loop that waits for messages alone. */
void CALLBACK EndStuckRun(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    ADD_FAILURE() << "the modal run still waits after 15 s; ending its probes";
    for (const std::string &line : g_log->Lines()) {
        DWORD pid = strtoul(&line[line.find(' ')], NULL, 10);
        HANDLE probe = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
        if (probe == NULL)
            continue;
        TerminateProcess(probe, 1);
        CloseHandle(probe);
    }
}

/* Sends the command that starts a modal run; `during` runs inside it. */
void RunCommand(const ProbeLog &log, HWND window, UINT command,
                std::function<void()> during = nullptr)
{
    g_log = &log;
    g_during = during;
    if (during)
        SetTimer(NULL, 0, 50, ActDuringRun);
    UINT_PTR guard = SetTimer(NULL, 0, 15000, EndStuckRun);
    SendMessageA(window, WM_COMMAND, command, 0);
    KillTimer(NULL, guard);
}

LONG g_posted, g_handled, g_stopPosting;
WNDPROC g_viewerProc;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        InterlockedIncrement(&g_handled);
    return CallWindowProcA(g_viewerProc, window, message, wParam, lParam);
}

DWORD WINAPI PostUntilStopped(void *window)
{
    while (InterlockedCompareExchange(&g_stopPosting, 0, 0) == 0) {
        if (PostMessageA((HWND)window, WM_APP, 0, 0))
            InterlockedIncrement(&g_posted);
        Sleep(5);
    }
    return 0;
}

}  // namespace

TEST(ModalRun, StopsPreviewRunsChildAndRestartsWhenItEnds)
{
    ProbeLog log;
    const std::string probe = ProbePath("probe.scr");
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "300");
    HWND window = OpenPreviewing(log, {probe});
    const std::string title = WindowTitle(window);
    const std::string preview = "start " + probe + " /p " + Decimal(window);
    const struct { const char *label; UINT command; std::string line; } rows[] = {
        {"settings", IDM_SAVER_SETTINGS, "start " + probe + " /c " + Decimal(window)},
        {"full screen", IDM_START_SAVER, "start " + probe + " /S"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        log.Clear();
        RunCommand(log, window, row.command);
        ASSERT_TRUE(log.WaitFor("window", 2, 5000));
        EXPECT_EQ((Strings{"WM_CLOSE", row.line, "exit 5", preview}), Trail(log));
        /* Nothing is posted meanwhile: the run notices the end by itself. */
        DWORD back = TickOf(log, preview) - TickOf(log, "exit 5");
        printf("    %s: preview back %lu ms after the child's exit\n", row.label, back);
        EXPECT_LT(back, 3000u);
        EXPECT_EQ(title, WindowTitle(window));
        for (UINT command : {IDM_START_SAVER, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS})
            EXPECT_EQ(0u, GetMenuState(GetMenu(window), command, MF_BYCOMMAND) & MF_GRAYED);
    }

    /* Messages keep coming while the child ends: the run may lose none. */
    g_viewerProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)CountingProc);
    HANDLE poster = CreateThread(NULL, 0, PostUntilStopped, window, 0, NULL);
    RunCommand(log, window, IDM_SAVER_SETTINGS);
    InterlockedExchange(&g_stopPosting, 1);
    EXPECT_TRUE(JoinThread(poster));
    PumpMessages(200);
    EXPECT_EQ(g_posted, g_handled);
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", NULL);
    CloseViewer();
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000));
}

/* Commands that would stop or start a preview wait for the run's end; a
 * new current saver is taken up by the start after it. */
TEST(ModalRun, CommandsDuringTheRunStartNothing)
{
    ProbeLog log;
    const std::string probe = ProbePath("probe.scr"), children = ProbePath("probe_children.scr");
    HWND window = OpenPreviewing(log, {probe, children});
    const std::string title = WindowTitle(window);
    RunCommand(log, window, IDM_START_SAVER, [&] {
        for (UINT command : {IDM_SIZE_VGA, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS,
                             IDM_START_SAVER, IDM_RECENT_2})
            SendMessageA(window, WM_COMMAND, command, 0);
        HANDLE driver = DriveOpenDialog(window, children.c_str(), NULL);
        SendMessageA(window, WM_COMMAND, IDM_OPEN, 0);
        EXPECT_TRUE(JoinThread(driver));
        EXPECT_EQ((Strings{"202 probe_children.scr", "203 probe_children.scr", "204 probe.scr",
                           "205 probe_children.scr"}), RecentMenuEntries(window));
        EXPECT_EQ(title, WindowTitle(window));
        EXPECT_EQ(1u, log.Events("start").size());
        PostMessageA(FindWindowA("NovraProbeFull", NULL), WM_CLOSE, 0, 0);
    });
    ASSERT_TRUE(log.WaitFor("client", 1, 5000));
    EXPECT_EQ((Strings{"WM_CLOSE", "start " + probe + " /S", "WM_CLOSE", "exit 5",
                       "start " + children + " /p " + Decimal(window)}), Trail(log));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ("client " + std::to_string(client.right) + " " + std::to_string(client.bottom),
              log.Events("client")[0]);
    EXPECT_EQ("NOVRA Ver 1.03 [" + children + "]", WindowTitle(window));
    CloseViewer();
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000));
}

TEST(ModalRun, ExitDuringTheRunEndsChildAndStartsNoPreview)
{
    ProbeLog log;
    const std::string probe = ProbePath("probe.scr");
    HWND window = OpenPreviewing(log, {probe});
    RunCommand(log, window, IDM_SAVER_SETTINGS,
               [&] { SendMessageA(window, WM_COMMAND, IDM_EXIT, 0); });
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000));
    PumpMessages(300);
    EXPECT_EQ((Strings{"WM_CLOSE", "start " + probe + " /c " + Decimal(window)}), Trail(log));
    EXPECT_FALSE(IniSection(TestSettingsPath(), "WINDOW").empty());
}

/* The run must not swallow the program's end: the quit comes back out, and
 * the child is ended rather than waited for. */
TEST(ModalRun, QuitDuringTheRunEndsItAndIsPostedAgain)
{
    ProbeLog log;
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "8000");
    HWND window = OpenPreviewing(log, {ProbePath("probe.scr")});
    RunCommand(log, window, IDM_START_SAVER, [] { PostQuitMessage(9); });
    MSG message = {};
    EXPECT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(9u, message.wParam);
    EXPECT_TRUE(log.Events("exit 5").empty());
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", NULL);
    CloseViewer();
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000));
}

TEST(ModalRun, RealViewerClosedDuringRunExitsWithNoSaverLeft)
{
    ProbeLog log;
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof(temp), temp);
    const std::string folder = std::string(temp) + "novra_modal\\", program = folder + "novra.exe";
    CreateDirectoryA(folder.c_str(), NULL);
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "novra.exe").c_str(), program.c_str(), FALSE));
    DeleteFileA((folder + "novra.ini").c_str());
    WriteIni(folder + "novra.ini", "SYSTEM", "SCREENSAVER_1", ProbePath("probe.scr").c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION viewer = {};
    ASSERT_TRUE(CreateProcessA(program.c_str(), NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                               &viewer));
    EXPECT_TRUE(log.WaitFor("window", 1, 10000));
    const Strings parent = log.Events("mode p parent ");
    HWND window = parent.empty() ? NULL : (HWND)(INT_PTR)atoi(parent[0].c_str() + 14);
    PostMessageA(window, WM_COMMAND, IDM_START_SAVER, 0);
    EXPECT_TRUE(log.WaitFor("mode s", 1, 10000));
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = STILL_ACTIVE;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(viewer.hProcess, 10000));
    GetExitCodeProcess(viewer.hProcess, &code);
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000));
    if (code == STILL_ACTIVE)
        TerminateProcess(viewer.hProcess, 1);
    CloseHandle(viewer.hThread);
    CloseHandle(viewer.hProcess);
    DeleteFileA(program.c_str());
    DeleteFileA((folder + "novra.ini").c_str());
    RemoveDirectoryA(folder.c_str());
}
