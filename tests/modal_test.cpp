/* The settings and full-screen runs: the preview stops, the child runs in
 * a nested loop that loses no message, and the preview starts again. */
#include <gtest/gtest.h>

#include "app/state.h"
#include "res/resource.h"
#include "res/version.h"
#include "support/test_support.h"

namespace {

std::string Decimal(HWND window)
{
    return std::to_string((int)(INT_PTR)window);
}

/* Starts, close requests and the children's own ends, in order. A stopped
 * preview may or may not log its exit before it is terminated. */
Strings Trail(const ProbeLog &log)
{
    Strings trail;
    for (const std::string &event : log.Events("")) {
        if (event.compare(0, 5, "start") == 0 || event == "WM_CLOSE" || event == "exit 5")
            trail.push_back(event);
    }
    return trail;
}

const ProbeLog *runLog;
std::function<void()> duringRun;
UINT_PTR guardTimer;

/* Fires in the run's own loop: the action once the child shows its window.
 * The guard fails a run that still waits after 10 s, which the child's own
 * end should have ended, rather than hang; it also wakes a loop that waits
 * for messages only. */
void CALLBACK OnRunTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (timer != guardTimer && runLog->Events("window").empty())
        return;
    KillTimer(NULL, timer);
    if (timer != guardTimer) {
        duringRun();
        return;
    }
    ADD_FAILURE() << "the run still waits after 10 s; ending its probes";
    EndProcessesNamed("probe");
}

LONG posted;
LONG handled;
LONG stopPosting;
HANDLE settingsChild;
int childEndedAtDestroy;
WNDPROC viewerProc;

LRESULT CALLBACK SpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        handled++;
    if (message == WM_DESTROY)
        childEndedAtDestroy = WaitForSingleObject(settingsChild, 0) == WAIT_OBJECT_0;
    return CallWindowProcA(viewerProc, window, message, wParam, lParam);
}

DWORD WINAPI PostUntilStopped(void *window)
{
    while (!InterlockedCompareExchange(&stopPosting, 0, 0)) {
        if (PostMessageA((HWND)window, WM_APP, 0, 0))
            posted++;
        Sleep(5);
    }
    return 0;
}

class ModalRun : public ::testing::Test {
protected:
    ProbeLog log;

    HWND OpenPreviewing(const Strings &savers)
    {
        HWND window = OpenViewerWith(savers);
        EXPECT_TRUE(log.WaitFor("paint", 1, 5000));
        log.Clear();
        viewerProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)SpyProc);
        return window;
    }

    void RunCommand(HWND window, UINT command, const std::function<void()> &during = nullptr)
    {
        runLog = &log;
        duringRun = during;
        UINT_PTR action = during ? SetTimer(NULL, 0, 50, OnRunTimer) : 0;
        guardTimer = SetTimer(NULL, 0, 10000, OnRunTimer);
        Command(window, command);
        KillTimer(NULL, guardTimer);
        KillTimer(NULL, action);
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", NULL);
        CloseViewer();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    }
};

TEST_F(ModalRun, StopsPreviewRunsChildAndRestartsWhenItEnds)
{
    const std::string probe = ProbePath("probe.scr");
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "300");
    HWND window = OpenPreviewing({probe});
    const std::string title = WindowTitle(window);
    RunCommand(window, IDM_SAVER_SETTINGS);
    ASSERT_TRUE(log.WaitFor("window", 2, 5000));
    Strings expected = {"WM_CLOSE", "start " + probe + " /c " + Decimal(window), "exit 5",
                        "start " + probe + " /p " + Decimal(window)};
    EXPECT_EQ(expected, Trail(log));
    EXPECT_EQ(title, WindowTitle(window));
    /* Messages keep coming while the child ends: the run may lose none. */
    HANDLE poster = CreateThread(NULL, 0, PostUntilStopped, window, 0, NULL);
    RunCommand(window, IDM_SAVER_SETTINGS);
    InterlockedExchange(&stopPosting, 1);
    EXPECT_TRUE(JoinThread(poster));
    PumpMessages(200);
    EXPECT_EQ(posted, handled);
}

/* Commands that would stop or start a preview wait for the run's end; a
 * new current saver, chosen or dropped, is taken up by the start after. */
TEST_F(ModalRun, CommandsDuringTheRunStartNothing)
{
    const std::string probe = ProbePath("probe.scr");
    const std::string children = ProbePath("probe_children.scr");
    const std::string dropped = ProbePath("probe_ignoreclose.scr");
    HWND window = OpenPreviewing({probe, children});
    const std::string title = WindowTitle(window);
    RunCommand(window, IDM_START_SAVER, [&] {
        for (UINT id : {IDM_SIZE_VGA, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS, IDM_START_SAVER,
                        IDM_RECENT_2})
            Command(window, id);
        OpenThroughDialog(window, children.c_str());
        DropFiles(window, {dropped}, false);
        Strings menu = {"202 probe_ignoreclose.scr", "203 probe_children.scr",
                        "204 probe_children.scr", "205 probe.scr", "206 probe_children.scr"};
        EXPECT_EQ(menu, RecentMenuEntries(window));
        EXPECT_EQ(title, WindowTitle(window));
        PostMessageA(FindWindowA("NovraProbeFull", NULL), WM_CLOSE, 0, 0);
    });
    const std::string preview = "start " + dropped + " /p " + Decimal(window);
    ASSERT_TRUE(log.WaitFor("client", 1, 5000));
    Strings expected = {"WM_CLOSE", "start " + probe + " /S", "WM_CLOSE", "exit 5", preview};
    EXPECT_EQ(expected, Trail(log));
    EXPECT_EQ(ClientEvent(window), log.Events("client")[0]);
    EXPECT_EQ(std::string(NOVRA_TITLE) + " [" + dropped + "]", WindowTitle(window));
    for (UINT id : {IDM_START_SAVER, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS})
        EXPECT_FALSE(Grayed(GetMenu(window), id)) << id;
}

/* The run must not swallow the program's end: the quit comes back out,
 * and the child is ended rather than waited for. */
TEST_F(ModalRun, QuitDuringTheRunEndsItAndIsPostedAgain)
{
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "8000");
    RunCommand(OpenPreviewing({ProbePath("probe.scr")}), IDM_START_SAVER,
               [] { PostQuitMessage(9); });
    MSG message = {};
    EXPECT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(9u, message.wParam);
    EXPECT_TRUE(log.Events("exit 5").empty());
}

/* A settings child owned by the window must be gone before the window is
 * destroyed. */
TEST_F(ModalRun, ClosingDuringASettingsRunEndsTheChildFirst)
{
    HWND window = OpenPreviewing({ProbePath("probe.scr")});
    childEndedAtDestroy = -1;
    RunCommand(window, IDM_SAVER_SETTINGS, [&] {
        DWORD child = GetState()->processInfo.dwProcessId;
        settingsChild = OpenProcess(SYNCHRONIZE, FALSE, child);
        SendMessageA(window, WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(1, childEndedAtDestroy);
    EXPECT_EQ(1u, log.Events("start").size()) << "no preview after the run";
    CloseHandle(settingsChild);
}

}  // namespace
