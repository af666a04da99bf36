/* The recent list and the ways a saver joins it (a recent entry, the open
 * dialog, dropped files), and the settings and full-screen runs: the child
 * runs in a nested loop that loses no message, then the preview restarts. */
#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/state.h"
#include "res/resource.h"
#include "res/version.h"
#include "support/test_support.h"

namespace {

/* Nothing here exists, so starts fail quietly and only the list matters.
 * One folder has a dot in its name; two savers share a file name. */
const Strings savers = {"C:\\none\\s0.scr", "C:\\none\\v1.2\\s1.scr", "C:\\none\\s2.scr",
                        "C:\\none\\a\\same.scr", "C:\\none\\b\\same.scr"};

std::string Saved(size_t slot)
{
    char path[MAX_PATH + 1] = "";
    std::string key = "SCREENSAVER_" + std::to_string(slot + 1);
    GetPrivateProfileStringA("SYSTEM", key.c_str(), "(none)", path, sizeof(path), TestSettingsPath().c_str());
    return path;
}

Strings RecentSlots()
{
    return Strings(GetState()->recent, GetState()->recent + RECENT_COUNT);
}

/* Runs Open and answers with `name` (NULL: Cancel); returns the file name
 * the dialog opened with. */
std::string OpenThroughDialog(HWND window, const char *name)
{
    std::string initial;
    WhenDialogIdle([&](HWND dialog) {
        const int fileNameBox = 1148;
        char text[MAX_PATH + 1] = "";
        GetDlgItemTextA(dialog, fileNameBox, text, sizeof(text));
        initial = text;
        if (name != NULL)
            SetDlgItemTextA(dialog, fileNameBox, name);
        PostMessageA(dialog, WM_COMMAND, name != NULL ? IDOK : IDCANCEL, 0);
    });
    Command(window, IDM_OPEN);
    return initial;
}

/* As the shell drops files, names in ANSI or UTF-16. */
void DropFiles(HWND window, const Strings &names, bool wide)
{
    std::string list;
    for (const std::string &name : names) {
        wchar_t text[MAX_PATH + 1] = L"";
        int length = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, text, MAX_PATH + 1);
        list.append(wide ? (const char *)text : name.c_str(), wide ? length * 2 : name.size() + 1);
    }
    list.append(wide ? 2 : 1, '\0');
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    DROPFILES *header = (DROPFILES *)GlobalLock(drop);
    header->pFiles = sizeof(DROPFILES);
    header->fWide = wide;
    memcpy(header + 1, list.data(), list.size());
    GlobalUnlock(drop);
    SendMessageA(window, WM_DROPFILES, (WPARAM)drop, 0);
}

TEST(RecentList, EntryMovesItsPathToTheFrontAndKeepsTheOldCopy)
{
    for (size_t chosen = 0; chosen < savers.size(); chosen++) {
        HWND window = OpenViewer(savers);
        Command(window, IDM_RECENT_1 + chosen);
        Strings list = {savers[chosen], savers[0], savers[1], savers[2], savers[3]};
        Strings menu;
        for (const std::string &path : list)
            menu.push_back(std::to_string(IDM_RECENT_1 + menu.size()) + " " + path.substr(path.rfind('\\') + 1));
        EXPECT_EQ(menu, RecentMenuEntries(window)) << chosen;
        CloseViewer();
        for (size_t slot = 0; slot < list.size(); slot++)
            EXPECT_EQ(list[slot], Saved(slot));
    }
}

/* A gap, which only the file can bring, ends the menu; the paths after it
 * stay in the list. Cancel changes nothing; a choice previews at once. */
TEST(RecentList, OpenDialogAndDroppedFiles)
{
    ProbeLog log;
    const std::string probe = ProbePath("probe.scr");
    const std::string children = ProbePath("probe_children.scr");
    const Strings list = {probe, "", savers[2], savers[3], savers[4]};
    HWND window = OpenViewer(list, &log);
    const std::vector<HWND> preview = ChildWindows(window);
    EXPECT_EQ("probe.scr", OpenThroughDialog(window, NULL));
    EXPECT_EQ(list, RecentSlots());
    EXPECT_EQ(Strings{"202 probe.scr"}, RecentMenuEntries(window));
    EXPECT_EQ(preview, ChildWindows(window));
    log.Clear();
    OpenThroughDialog(window, ProbePath("probe_children").c_str());   /* the dialog adds ".scr" */
    EXPECT_EQ((Strings{children, probe, "", savers[2], savers[3]}), RecentSlots());
    EXPECT_EQ((Strings{"202 probe_children.scr", "203 probe.scr"}), RecentMenuEntries(window));
    ASSERT_TRUE(log.WaitFor("window", 1, 5000));
    EXPECT_EQ(Strings{"WM_CLOSE"}, log.Events("WM_CLOSE"));
    EXPECT_EQ(Strings{PreviewStart(children, window)}, log.Events("start"));
    EXPECT_EQ(PreviewTitle(children), WindowTitle(window));
    const std::string upper = ProbePath("probe_ignoreclose.SCR");
    DropFiles(window, {"C:\\none\\read me.txt", upper, probe}, true);
    DropFiles(window, {"C:\\none\\a.txt", "C:\\none\\b.scrx"}, false);
    EXPECT_EQ((Strings{upper, children, probe, "", savers[2]}), RecentSlots());
    EXPECT_EQ(PreviewTitle(upper), WindowTitle(window));
    ASSERT_TRUE(log.WaitFor("window", 2, 5000));
    EXPECT_EQ(PreviewStart(upper, window), log.Events("start").back());
    CloseViewer();
    EXPECT_EQ(savers[2], Saved(4)) << "after the gap";
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
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

std::function<void()> duringRun;
DWORD runStart;

/* Fires in the run's own loop: the action once the child shows its window.
 * A run that still waits after 10 s, which the child's own end should have
 * ended, fails rather than hangs. It also wakes a loop that waits for
 * messages only. */
void CALLBACK OnRunTimer(HWND, UINT, UINT_PTR, DWORD tick)
{
    char path[MAX_PATH + 1] = "";
    GetEnvironmentVariableA("NOVRA_PROBE_LOG", path, sizeof(path));
    if (duringRun && ReadFileText(path).find(" window") != std::string::npos) {
        std::function<void()> action = duringRun;
        duringRun = nullptr;
        action();
    }
    if (tick - runStart > 10000) {
        ADD_FAILURE() << "the run still waits after 10 s; ending its probes";
        runStart = tick;
        EndProcessesNamed("probe");
    }
}

LONG stopPosting;
LONG posted;

DWORD WINAPI PostUntilStopped(void *window)
{
    while (!InterlockedCompareExchange(&stopPosting, 0, 0)) {
        posted += PostMessageA((HWND)window, WM_APP, 0, 0) ? 1 : 0;
        Sleep(5);
    }
    return 0;
}

class ModalRun : public ::testing::Test {
protected:
    ProbeLog log;

    HWND OpenPreviewing(const Strings &savers)
    {
        HWND window = OpenViewer(savers, &log);
        log.Clear();
        return window;
    }

    void RunCommand(HWND window, UINT command, const std::function<void()> &during = nullptr)
    {
        duringRun = during;
        runStart = GetTickCount();
        UINT_PTR timer = SetTimer(NULL, 0, 50, OnRunTimer);
        Command(window, command);
        KillTimer(NULL, timer);
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", NULL);
        CloseViewer();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
        EndProcessesNamed("probe");
    }
};

TEST_F(ModalRun, StopsPreviewRunsChildAndRestartsWhenItEnds)
{
    const std::string probe = ProbePath("probe.scr");
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "300");
    HWND window = OpenPreviewing({probe});
    LONG handled = 0;
    Spy(window, [&](UINT message, WPARAM) { handled += message == WM_APP; });
    /* Messages keep coming while the child ends: the run may lose none. */
    stopPosting = 0;
    HANDLE poster = CreateThread(NULL, 0, PostUntilStopped, window, 0, NULL);
    RunCommand(window, IDM_SAVER_SETTINGS);
    InterlockedExchange(&stopPosting, 1);
    EXPECT_TRUE(JoinThread(poster));
    ASSERT_TRUE(log.WaitFor("window", 2, 5000));
    Strings expected = {"WM_CLOSE", "start " + probe + " /c " + std::to_string((int)(INT_PTR)window),
                        "exit 5", PreviewStart(probe, window)};
    EXPECT_EQ(expected, Trail(log));
    EXPECT_EQ(PreviewTitle(probe), WindowTitle(window));
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
    RunCommand(window, IDM_START_SAVER, [&] {
        for (UINT id : {IDM_SIZE_VGA, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS, IDM_START_SAVER, IDM_RECENT_2})
            Command(window, id);
        OpenThroughDialog(window, children.c_str());
        DropFiles(window, {dropped}, false);
        Strings menu = {"202 probe_ignoreclose.scr", "203 probe_children.scr", "204 probe_children.scr",
                        "205 probe.scr", "206 probe_children.scr"};
        EXPECT_EQ(menu, RecentMenuEntries(window));
        EXPECT_EQ(PreviewTitle(probe), WindowTitle(window));
        PostMessageA(FindWindowA("NovraProbeFull", NULL), WM_CLOSE, 0, 0);
    });
    ASSERT_TRUE(log.WaitFor("client", 1, 5000));
    Strings expected = {"WM_CLOSE", "start " + probe + " /S", "WM_CLOSE", "exit 5", PreviewStart(dropped, window)};
    EXPECT_EQ(expected, Trail(log));
    EXPECT_EQ(ClientEvent(window), log.Events("client")[0]);
    EXPECT_EQ(PreviewTitle(dropped), WindowTitle(window));
    for (UINT id : {IDM_START_SAVER, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS})
        EXPECT_FALSE(Grayed(GetMenu(window), id)) << id;
}

/* The run must not swallow the program's end: the quit comes back out,
 * and the child is ended rather than waited for. */
TEST_F(ModalRun, QuitDuringTheRunEndsItAndIsPostedAgain)
{
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "8000");
    RunCommand(OpenPreviewing({ProbePath("probe.scr")}), IDM_START_SAVER, [] { PostQuitMessage(9); });
    MSG message = {};
    EXPECT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(9u, message.wParam);
    EXPECT_TRUE(log.Events("exit 5").empty());
}

/* Closing during a settings run ends the child before the window goes: a
 * child owned by the window would hold up its destruction. No preview
 * starts after the run, and the settings are still saved. */
TEST_F(ModalRun, ClosingDuringASettingsRunEndsTheChildFirst)
{
    HWND window = OpenPreviewing({ProbePath("probe.scr")});
    HANDLE child = NULL;
    int childEndedAtDestroy = -1;
    Spy(window, [&](UINT message, WPARAM) {
        if (message == WM_DESTROY)
            childEndedAtDestroy = WaitForSingleObject(child, 0) == WAIT_OBJECT_0;
    });
    DeleteFileA(TestSettingsPath().c_str());
    RunCommand(window, IDM_SAVER_SETTINGS, [&] {
        child = OpenProcess(SYNCHRONIZE, FALSE, GetState()->processInfo.dwProcessId);
        SendMessageA(window, WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(1, childEndedAtDestroy);
    EXPECT_EQ(1u, log.Events("start").size()) << "no preview after the run";
    EXPECT_FALSE(IniSection(TestSettingsPath(), "WINDOW").empty());
    CloseHandle(child);
}

}  // namespace
