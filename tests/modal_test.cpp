#include <gtest/gtest.h>
#include "res/resource.h"
#include "support/test_support.h"

namespace {
typedef std::vector<std::string> Strings;
std::string Decimal(HWND window) { return std::to_string((int)(INT_PTR)window); }
/* Starts, close requests and modal exits, in order. A stopped preview may
 * or may not log its own exit before it is terminated. */
Strings Trail(const ProbeLog &log) {
    Strings trail;
    for (const std::string &event : log.Events(""))
        if (event.compare(0, 5, "start") == 0 || event == "WM_CLOSE" || event == "exit 5")
            trail.push_back(event);
    return trail;
}
DWORD TickOf(const ProbeLog &log, const std::string &event) {
    for (const std::string &line : log.Lines())
        if (line.compare(line.find(' ', line.find(' ') + 1) + 1, event.size(), event) == 0)
            return strtoul(line.c_str(), NULL, 10);
    return 0;
}
const ProbeLog *g_log;
std::function<void()> g_during;
UINT_PTR g_guard;
/* Fires in the run's own loop: the action once the child shows its window; the guard
 * fails a run stuck for 15 s rather than hang (and wakes a loop waiting on messages). */
void CALLBACK OnRunTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    if (timer != g_guard && g_log->Events("window").empty())
        return;
    KillTimer(NULL, timer);
    if (timer != g_guard)
        return g_during();
    ADD_FAILURE() << "the modal run still waits after 15 s; ending its probes";
    for (DWORD pid : ProcessesNamed("probe"))
        if (HANDLE probe = OpenProcess(PROCESS_TERMINATE, FALSE, pid))
            TerminateProcess(probe, 1), CloseHandle(probe);
}
LONG g_posted, g_handled, g_stopPosting;
WNDPROC g_viewerProc;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_handled += message == WM_APP;
    return CallWindowProcA(g_viewerProc, window, message, wParam, lParam);
}
DWORD WINAPI PostUntilStopped(void *window) {
    for (; !InterlockedCompareExchange(&g_stopPosting, 0, 0); Sleep(5))
        g_posted += PostMessageA((HWND)window, WM_APP, 0, 0) != 0;
    return 0;
}
struct ModalRun : ::testing::Test {
    ProbeLog log;
    HWND OpenPreviewing(const Strings &savers) {
        HWND window = OpenViewerWith(savers);
        EXPECT_TRUE(log.WaitFor("paint", 1, 5000));
        log.Clear();
        return window;
    }
    void RunCommand(HWND window, UINT command, std::function<void()> during = nullptr) {
        g_log = &log;
        g_during = during;
        UINT_PTR action = during ? SetTimer(NULL, 0, 50, OnRunTimer) : 0;
        g_guard = SetTimer(NULL, 0, 15000, OnRunTimer);
        SendMessageA(window, WM_COMMAND, command, 0);
        KillTimer(NULL, g_guard);
        KillTimer(NULL, action);
    }
    void TearDown() override {
        SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", NULL);
        CloseViewer();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000));
    }
};
}  // namespace
TEST_F(ModalRun, StopsPreviewRunsChildAndRestartsWhenItEnds) {
    const std::string probe = ProbePath("probe.scr");
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "300");
    HWND window = OpenPreviewing({probe});
    const std::string title = WindowTitle(window);
    const std::string preview = "start " + probe + " /p " + Decimal(window);
    RunCommand(window, IDM_SAVER_SETTINGS);
    ASSERT_TRUE(log.WaitFor("window", 2, 5000));
    EXPECT_EQ((Strings{"WM_CLOSE", "start " + probe + " /c " + Decimal(window), "exit 5", preview}),
              Trail(log));
    // Nothing is posted meanwhile: the run notices the end by itself.
    EXPECT_LT(TickOf(log, preview) - TickOf(log, "exit 5"), 3000u);
    EXPECT_EQ(title, WindowTitle(window));
    // Messages keep coming while the child ends: the run may lose none.
    g_viewerProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)CountingProc);
    HANDLE poster = CreateThread(NULL, 0, PostUntilStopped, window, 0, NULL);
    RunCommand(window, IDM_SAVER_SETTINGS);
    InterlockedExchange(&g_stopPosting, 1);
    EXPECT_TRUE(JoinThread(poster));
    PumpMessages(200);
    EXPECT_EQ(g_posted, g_handled);
}
/* Commands that would stop or start a preview wait for the run's end; a
 * new current saver is taken up by the start after it. */
TEST_F(ModalRun, CommandsDuringTheRunStartNothing) {
    const std::string probe = ProbePath("probe.scr"), children = ProbePath("probe_children.scr");
    HWND window = OpenPreviewing({probe, children});
    const std::string title = WindowTitle(window);
    RunCommand(window, IDM_START_SAVER, [&] {
        for (UINT command : {IDM_SIZE_VGA, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS,
                             IDM_START_SAVER, IDM_RECENT_2})
            SendMessageA(window, WM_COMMAND, command, 0);
        HANDLE driver = DriveOpenDialog(window, children.c_str(), NULL);
        SendMessageA(window, WM_COMMAND, IDM_OPEN, 0);
        EXPECT_TRUE(JoinThread(driver));
        EXPECT_EQ((Strings{"202 probe_children.scr", "203 probe_children.scr", "204 probe.scr",
                           "205 probe_children.scr"}), RecentMenuEntries(window));
        EXPECT_EQ(title, WindowTitle(window));
        PostMessageA(FindWindowA("NovraProbeFull", NULL), WM_CLOSE, 0, 0);
    });
    const std::string preview = "start " + children + " /p " + Decimal(window);
    ASSERT_TRUE(log.WaitFor("client", 1, 5000));
    EXPECT_EQ((Strings{"WM_CLOSE", "start " + probe + " /S", "WM_CLOSE", "exit 5", preview}),
              Trail(log));
    EXPECT_LT(TickOf(log, preview) - TickOf(log, "exit 5"), 3000u);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ("client " + std::to_string(client.right) + " " + std::to_string(client.bottom),
              log.Events("client")[0]);
    EXPECT_EQ("NOVRA Ver 1.03 [" + children + "]", WindowTitle(window));
    for (UINT command : {IDM_START_SAVER, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS})
        EXPECT_EQ(0u, GetMenuState(GetMenu(window), command, MF_BYCOMMAND) & MF_GRAYED);
}
/* The run must not swallow the program's end: the quit comes back out, and
 * the child is ended rather than waited for. */
TEST_F(ModalRun, QuitDuringTheRunEndsItAndIsPostedAgain) {
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "8000");
    RunCommand(OpenPreviewing({ProbePath("probe.scr")}), IDM_START_SAVER,
               [] { PostQuitMessage(9); });
    MSG message = {};
    EXPECT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(9u, message.wParam);
    EXPECT_TRUE(log.Events("exit 5").empty());
}
/* Closing the viewer during a run ends the child rather than waiting for
 * it, starts no preview, keeps the settings and lets the program end. */
TEST_F(ModalRun, ClosingTheRealViewerDuringTheRunEndsChildAndProgram) {
    // A copy under a name of its own keeps a settings file of its own beside it.
    const std::string program = ProgramFolder() + "novra_modal.exe",
                      ini = ProgramFolder() + "novra_modal.ini", probe = ProbePath("probe.scr");
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "novra.exe").c_str(), program.c_str(), FALSE));
    DeleteFileA(ini.c_str());
    WriteIni(ini, "SYSTEM", "SCREENSAVER_1", probe.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION viewer = {};
    ASSERT_TRUE(CreateProcessA(program.c_str(), NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                               &viewer));
    EXPECT_TRUE(log.WaitFor("window", 1, 10000));
    HWND window = FindWindowA("NOVRAClass", NULL);  // no viewer of this process is open
    PostMessageA(window, WM_COMMAND, IDM_START_SAVER, 0);
    EXPECT_TRUE(log.WaitFor("mode s", 1, 10000));
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = STILL_ACTIVE;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(viewer.hProcess, 10000));
    GetExitCodeProcess(viewer.hProcess, &code);
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000));
    EXPECT_EQ((Strings{"start " + probe + " /p " + Decimal(window), "WM_CLOSE",
                       "start " + probe + " /S"}), Trail(log));
    EXPECT_FALSE(IniSection(ini, "WINDOW").empty());
    TerminateProcess(viewer.hProcess, 1);  // fails harmlessly once it has exited
    CloseHandle(viewer.hThread);
    CloseHandle(viewer.hProcess);
    DeleteFileA(program.c_str());
    DeleteFileA(ini.c_str());
}
