/* Every path that starts a preview (a resize, Reset, Open, a recent entry,
 * a drop, the end of a settings or full-screen run), the recent list those
 * paths change, the other ways to a saver (the next or previous one in its
 * folder, an installed one), the system's saver, and the modal runs: the
 * child runs in a nested loop that loses no message, then the preview
 * restarts. */
#include <gtest/gtest.h>

#include <shlobj.h>

#include <fstream>

#include "app/state.h"
#include "res/resource.h"
#include "res/version.h"
#include "support/test_support.h"

namespace {

/* Nothing here exists, so starts fail quietly and only the list matters.
 * One folder has a dot in its name; two savers share a file name. */
const Strings savers = {"C:\\none\\s0.scr", "C:\\none\\v1.2\\s1.scr", "C:\\none\\s2.scr",
                        "C:\\none\\a\\same.scr", "C:\\none\\b\\same.scr"};

Strings RecentSlots()
{
    return Strings(GetState()->recent, GetState()->recent + RECENT_COUNT);
}

/* Runs Open and answers with `name` (NULL: Cancel); returns the file name
 * the dialog opened with. */
std::string OpenThroughDialog(HWND window, const char *name)
{
    std::string initial;
    WhenDialog([&](HWND dialog) {
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

/* The Operation popup as it opens: which of Next, Previous and Set as the
 * system's saver are on. */
std::string OperationMenu(HWND window)
{
    HMENU operation = GetSubMenu(GetMenu(window), 1);
    SendMessageA(window, WM_INITMENUPOPUP, (WPARAM)operation, MAKELPARAM(1, FALSE));
    std::string states;
    for (UINT id : {IDM_NEXT_SAVER, IDM_PREVIOUS_SAVER, IDM_SET_SYSTEM_SAVER})
        states += Grayed(operation, id) ? " off" : " on";
    return states.substr(1);
}

/* A folder of probes whose names Explorer orders otherwise than plain text
 * does (saver2 before saver10), beside what is no saver: a folder, other
 * extensions. */
std::string BrowseFolder()
{
    const std::string folder = MakeTempFolder(" browse");
    for (const char *name : {"saver1.scr", "saver2.scr", "saver10.scr"})
        CopyFileA(ProbePath("probe.scr").c_str(), (folder + name).c_str(), FALSE);
    CreateDirectoryA((folder + "saver3.scr").c_str(), NULL);
    std::ofstream(folder + "saver4.txt") << "text";
    std::ofstream(folder + "saver5.scrx") << "text";
    return folder;
}

void RemoveFolder(const std::string &folder)
{
    for (const char *name : {"saver1.scr", "saver2.scr", "saver10.scr", "saver4.txt", "saver5.scrx", "only.scr"})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA((folder + "saver3.scr").c_str());
    RemoveDirectoryA(folder.c_str());
}

/* Every way to a saver makes it the current one, in front of the recent
 * list: a recent entry, the open dialog (which adds ".scr"), the first
 * saver dropped, the next one in its folder. A path already listed moves
 * there, whatever its letter case; only the paths before it shift, so none
 * drops out; a new one pushes the last out. Cancel, drops of no saver, and
 * Next with no other saver change nothing; Next and Previous are greyed
 * then, and so is Set without a saver. The window is minimised (but for
 * Cancel, which must start nothing): the start is held, with no pause. */
TEST(RecentList, EveryWayToASaver)
{
    const std::string probe = ProbePath("probe.scr");
    const std::string folder = BrowseFolder();
    const std::string alone = MakeTempFolder(" alone");
    CopyFileA(probe.c_str(), (alone + "only.scr").c_str(), FALSE);
    std::string upper = savers[3];
    CharUpperA(&upper[0]);
    const std::string dropped = ProbePath("probe_ignoreclose.SCR");
    const Strings some = {probe, savers[2], savers[3], savers[4], ""};
    const struct {
        const char *label;
        Strings list;
        std::function<void(HWND)> act;
        Strings slots;
        const char *menu;   /* Next, Previous, Set: on or off */
    } rows[] = {
        {"recent entry 1", savers, [](HWND window) { Command(window, IDM_RECENT_1); }, savers, "off off on"},
        {"recent entry 3", savers, [](HWND window) { Command(window, IDM_RECENT_3); },
         {savers[2], savers[0], savers[1], savers[3], savers[4]}, "off off on"},
        {"recent entry 5", savers, [](HWND window) { Command(window, IDM_RECENT_5); },
         {savers[4], savers[0], savers[1], savers[2], savers[3]}, "off off on"},
        {"a listed path dropped in capitals", savers, [&](HWND window) { DropFiles(window, {upper}, false); },
         {upper, savers[0], savers[1], savers[2], savers[4]}, "off off on"},
        {"Open, cancelled", some, [&](HWND window) {
            unsigned int starts = GetState()->childStarts;
            EXPECT_EQ("probe.scr", OpenThroughDialog(window, NULL)) << "the dialog opens at the current saver";
            EXPECT_EQ(starts, GetState()->childStarts) << "a restart";
        }, some, "on on on"},
        {"Open, a name without its extension", some,
         [&](HWND window) { OpenThroughDialog(window, ProbePath("probe_children").c_str()); },
         {ProbePath("probe_children.scr"), probe, savers[2], savers[3], savers[4]}, "on on on"},
        {"drops: the first saver, in UTF-16, then none", some, [&](HWND window) {
            DropFiles(window, {"C:\\none\\read me.txt", dropped, probe}, true);
            DropFiles(window, {"C:\\none\\a.txt", "C:\\none\\b.scrx"}, false);
        }, {dropped, probe, savers[2], savers[3], savers[4]}, "on on on"},
        /* in Explorer's order, saver2 before saver10, and round the ends */
        {"Next, beside others", {folder + "saver2.scr", savers[1]},
         [](HWND window) { Command(window, IDM_NEXT_SAVER); },
         {folder + "saver10.scr", folder + "saver2.scr", savers[1], "", ""}, "on on on"},
        {"Next, the last", {folder + "saver10.scr"}, [](HWND window) { Command(window, IDM_NEXT_SAVER); },
         {folder + "saver1.scr", folder + "saver10.scr", "", "", ""}, "on on on"},
        {"Previous, the first", {folder + "saver1.scr"}, [](HWND window) { Command(window, IDM_PREVIOUS_SAVER); },
         {folder + "saver10.scr", folder + "saver1.scr", "", "", ""}, "on on on"},
        {"Next, alone in its folder", {alone + "only.scr", savers[1]},
         [](HWND window) { Command(window, IDM_NEXT_SAVER); }, {alone + "only.scr", savers[1], "", "", ""},
         "off off on"},
        {"Next, a saver that vanished", {folder + "gone.scr", savers[1]},
         [](HWND window) { Command(window, IDM_PREVIOUS_SAVER); }, {folder + "gone.scr", savers[1], "", "", ""},
         "off off on"},
        {"Next, no saver", {}, [](HWND window) { Command(window, IDM_NEXT_SAVER); }, {"", "", "", "", ""},
         "off off off"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        HWND window = OpenViewer(row.list);
        if (std::string(row.label) != "Open, cancelled")
            ShowWindow(window, SW_MINIMIZE);
        EXPECT_EQ(row.menu, OperationMenu(window));
        row.act(window);
        EXPECT_EQ(row.slots, RecentSlots());
        EXPECT_EQ(row.slots[0].empty() ? "ready | " NOVRA_TITLE " | commands on"
                                       : "preview | " + PreviewTitle(row.slots[0]) + " | commands on", ViewerLine());
        CloseViewer();
    }
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    RemoveFolder(folder);
    RemoveFolder(alone);
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

struct Step {
    const char *label;
    std::function<void()> take;
    unsigned int runs;      /* settings or full-screen children it starts */
    bool previews;          /* with room, it starts a preview */
};

/* Sizes the window so that its client area is width x height. */
void ResizeClient(HWND window, int width, int height)
{
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, GetWindowLongA(window, GWL_STYLE), TRUE, GetWindowLongA(window, GWL_EXSTYLE));
    SetWindowPos(window, NULL, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
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

    /* `during` acts in the run's own loop once the child shows its window;
     * a run that goes on 10 s after that, which the child's own end should
     * have ended, fails rather than hangs. */
    void RunCommand(HWND window, UINT command, const std::function<void()> &during = [] {})
    {
        When([&] { return !log.Events("window").empty(); }, [&] {
            during();
            GuardFor10s();
        });
        Command(window, command);
        CancelWhen();
    }

    /* The trail comes from other processes: it is waited for. */
    ::testing::AssertionResult TrailBecomes(const Strings &expected, HWND window)
    {
        PumpUntil([&] { return (bool)TrailIs(expected, log.Trail(), window); }, 5000);
        return TrailIs(expected, log.Trail(), window);
    }

    /* A stop (if a preview ran), then, after the pause, one preview
     * filling the client area. */
    void ExpectOneStartAfterAPause(HWND window)
    {
        ASSERT_TRUE(log.WaitFor("client", 1, 5000));
        std::vector<ProbeEvent> closes = log.Entries("WM_CLOSE");
        if (!closes.empty()) {
            EXPECT_LE(499u, log.Entries("start")[0].tick - closes[0].tick) << "no pause after the stop";
        }
        EXPECT_EQ(Strings{"mode p parent " + std::to_string((int)(INT_PTR)window)}, log.Events("mode p"));
        EXPECT_EQ(ClientEvent(window), log.Events("client")[0]);
        /* The next stop must find the window to close. */
        EXPECT_TRUE(PumpUntil([&] { return ChildWindows(window).size() == 1; }, 5000));
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", NULL);
        CloseViewer();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
        EndProcessesNamed("probe");
    }
};

/* With room, every path stops the saver, pauses, and starts it again. With
 * no room (minimised, or no client height) none starts one: the preview is
 * held over, and comes back with the first resize that brings room, as any
 * started preview, its commands on (though Stop had turned them off). The
 * saver's path has a blank, so each start must quote it. */
TEST_F(ModalRun, EveryStartPathPausesAndNeedsRoom)
{
    const std::string saver = MakeTempFolder(" b saver") + "my probe.scr";
    ASSERT_TRUE(CopyFileA(ProbePath("probe.scr").c_str(), saver.c_str(), FALSE));
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "100");
    HWND window = OpenPreviewing({saver});
    const std::string previewing = "preview | " + PreviewTitle(saver) + " | commands on";
    const std::vector<Step> paths = {
        {"Stop", [&] { Command(window, IDM_STOP); }, 0, false},
        {"Open", [&] { OpenThroughDialog(window, saver.c_str()); }, 0, true},
        {"recent entry", [&] { Command(window, IDM_RECENT_1); }, 0, true},
        {"drop", [&] { DropFiles(window, {saver}, false); }, 0, true},
        {"Reset", [&] { Command(window, IDM_RESET); }, 0, true},
        {"settings run", [&] { RunCommand(window, IDM_SAVER_SETTINGS); }, 1, true},
        {"full-screen run", [&] { RunCommand(window, IDM_START_SAVER); }, 1, true},
    };
    /* Each entered by a resize, itself a start path (with room, a drag:
     * one restart at its end); left by the resize that brings room. */
    const struct {
        Step enter;
        std::function<void()> leave;
    } rooms[] = {
        {{"a drag", [&] {
            SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
            for (int step = 1; step <= 3; step++)
                ResizeClient(window, 400 + 40 * step, 300 + 30 * step);
            SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
        }, 0, true}, nullptr},
        {{"minimising", [&] { ShowWindow(window, SW_MINIMIZE); }, 0, false}, [&] { ShowWindow(window, SW_RESTORE); }},
        {{"no client height", [&] { ResizeClient(window, 500, 0); }, 0, false},
         [&] { ResizeClient(window, 480, 360); }},
    };
    for (const auto &room : rooms) {
        std::vector<Step> steps = {room.enter};
        steps.insert(steps.end(), paths.begin(), paths.end());
        for (const Step &step : steps) {
            SCOPED_TRACE(room.enter.label + std::string(", then ") + step.label);
            log.Clear();
            unsigned int children = GetState()->childStarts + step.runs + (room.leave == nullptr && step.previews);
            step.take();
            EXPECT_EQ(children, GetState()->childStarts) << "savers started";
            if (room.leave == nullptr && step.previews)
                ExpectOneStartAfterAPause(window);
            EXPECT_TRUE(room.leave == nullptr || GetState()->processInfo.hProcess == NULL)
                << "a saver started into no room";
            bool stopped = std::string(step.label) == "Stop";
            EXPECT_EQ(stopped ? "stopped | " NOVRA_TITLE " | commands off" : previewing, ViewerLine());
        }
        if (room.leave == nullptr)
            continue;
        log.Clear();
        room.leave();
        ASSERT_TRUE(log.WaitFor("client", 1, 5000)) << room.enter.label;
        EXPECT_EQ(ClientEvent(window), log.Events("client")[0]);
        EXPECT_EQ(previewing, ViewerLine());
    }
    CloseViewer();
    DeleteFileA(saver.c_str());
    RemoveDirectoryA(saver.substr(0, saver.rfind('\\')).c_str());
}

/* A quotation mark, which no file name holds and the settings file no
 * longer brings, is refused by every start, the runs' too: nothing starts. */
TEST_F(ModalRun, AQuotedPathStartsNothing)
{
    HWND window = OpenPreviewing({ProbePath("probe.scr")});
    const std::string quoted = ProbePath("probe.scr") + "\" /s";
    snprintf(GetState()->currentSaver, PATH_BUFFER, "%s", quoted.c_str());
    for (UINT id : {IDM_SAVER_SETTINGS, IDM_START_SAVER, IDM_RESET}) {
        unsigned int starts = GetState()->childStarts;
        RunCommand(window, id);
        EXPECT_EQ(starts, GetState()->childStarts) << id;
        EXPECT_EQ("preview | " NOVRA_TITLE " | commands on", ViewerLine()) << id;
    }
    EXPECT_TRUE(TrailIs({"WM_CLOSE", "?exit 7"}, log.Trail()));
}

/* However a settings or full-screen run ends (by itself, killed, by a
 * launched saver's end, on input), the viewer is usable after it and loses
 * no message of the many that keep coming: a settings window disables its
 * owner and enables it again only as it closes normally. A saver that only
 * launched the real one has not ended while that runs. Commands that would
 * stop or start a preview wait for the run's end; a new current saver,
 * chosen or dropped, is taken up by the start after it. A quit ends the
 * run (not waiting for the child) and comes back out; a close ends the
 * child before the window goes, and no preview starts after it. */
TEST_F(ModalRun, WhatHappensDuringARun)
{
    const std::string probe = ProbePath("probe.scr");
    const std::string children = ProbePath("probe_children.scr");
    const std::string dropped = ProbePath("probe_ignoreclose.scr");
    const std::string launcher = ProbePath("probe_launcher.scr");
    const std::string real = "\"" + ProbePath("probe_hangclose.scr") + "\"";
    HANDLE child = NULL;
    const struct {
        const char *label;
        std::string saver;
        UINT command;
        const char *exitMs;     /* NOVRA_PROBE_EXIT_MS */
        std::function<void(HWND)> during;
        int quit;               /* the exit code posted, or -1 */
        Strings trail;          /* "#" stands for the window's handle */
        std::string line;       /* after the run; empty: the window is gone */
    } rows[] = {
        {"ends by itself", probe, IDM_SAVER_SETTINGS, "300", [](HWND) {}, -1,
         {"WM_CLOSE", "?exit 7", "start " + probe + " /c #", "exit 5", "start " + probe + " /p #"},
         "preview | " + PreviewTitle(probe) + " | commands on"},
        {"killed", probe, IDM_SAVER_SETTINGS, NULL, [&](HWND) { TerminateProcess(child, 1); }, -1,
         {"WM_CLOSE", "?exit 7", "start " + probe + " /c #", "start " + probe + " /p #"},
         "preview | " + PreviewTitle(probe) + " | commands on"},
        {"launched", launcher, IDM_SAVER_SETTINGS, "300", [](HWND) {}, -1,
         {"WM_CLOSE", "start " + launcher + " /c #", "?exit 0", "start " + real + " /c #", "?exit 0", "exit 5",
          "start " + launcher + " /p #", "?exit 0", "start " + real + " /p #"},
         "preview | " + PreviewTitle(launcher) + " | commands on"},
        {"commands", probe, IDM_START_SAVER, NULL, [&](HWND window) {
            for (UINT id : {IDM_SIZE_VGA, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS, IDM_START_SAVER, IDM_RECENT_2})
                Command(window, id);
            OpenThroughDialog(window, children.c_str());
            DropFiles(window, {dropped}, false);
            EXPECT_EQ("preview | " + PreviewTitle(probe) + " | commands on", ViewerLine());
            PostMessageA(FindWindowA("NovraProbeFull", NULL), WM_CLOSE, 0, 0);
        }, -1, {"WM_CLOSE", "?exit 7", "start " + probe + " /S", "WM_CLOSE", "exit 5", "start " + dropped + " /p #"},
         "preview | " + PreviewTitle(dropped) + " | commands on"},
        {"quit", probe, IDM_START_SAVER, "8000", [](HWND) { PostQuitMessage(9); }, 9,
         {"WM_CLOSE", "?exit 7", "start " + probe + " /S", "start " + probe + " /p #"},
         "preview | " + PreviewTitle(probe) + " | commands on"},
        {"closed", probe, IDM_SAVER_SETTINGS, NULL, [](HWND window) { SendMessageA(window, WM_CLOSE, 0, 0); }, 0,
         {"WM_CLOSE", "?exit 7", "start " + probe + " /c #"}, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", row.exitMs);
        HWND window = OpenPreviewing({row.saver, children});
        LONG handled = 0;
        int childEndedAtDestroy = -1;
        Spy(window, [&](UINT message, WPARAM) {
            handled += message == WM_APP;
            if (message == WM_DESTROY)
                childEndedAtDestroy = WaitForSingleObject(child, 0) == WAIT_OBJECT_0;
        });
        DeleteFileA(TestSettingsPath().c_str());
        stopPosting = 0;
        posted = 0;
        HANDLE poster = CreateThread(NULL, 0, PostUntilStopped, window, 0, NULL);
        bool enabledDuring = true;
        RunCommand(window, row.command, [&] {
            enabledDuring = IsWindowEnabled(window);
            child = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, GetState()->processInfo.dwProcessId);
            row.during(window);
        });
        MSG quit = {};
        EXPECT_EQ(row.quit, PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) ? (int)quit.wParam : -1);
        InterlockedExchange(&stopPosting, 1);
        EXPECT_TRUE(JoinThread(poster));
        EXPECT_EQ(row.command != IDM_SAVER_SETTINGS, enabledDuring) << "a settings window disables its owner";
        EXPECT_TRUE(TrailBecomes(row.trail, window));
        EXPECT_EQ(row.line, IsWindow(window) ? ViewerLine() : "");
        if (IsWindow(window)) {
            EXPECT_TRUE(IsWindowEnabled(window));
            EXPECT_EQ(window, GetForegroundWindow());
            PumpMessages(200);
            EXPECT_EQ(posted, handled) << "messages lost";
        } else {
            EXPECT_EQ(1, childEndedAtDestroy);
            EXPECT_FALSE(IniSection(TestSettingsPath(), "WINDOW").empty());
        }
        CloseHandle(child);
        CloseViewer();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    }
}

/* The installed savers' popup as it opens: each entry's caption, marked
 * when checked or greyed. */
std::vector<std::wstring> InstalledEntries(HWND window)
{
    OperationMenu(window);
    HMENU installed = GetSubMenu(GetSubMenu(GetMenu(window), 1), 7);
    SendMessageA(window, WM_INITMENUPOPUP, (WPARAM)installed, MAKELPARAM(7, FALSE));
    std::vector<std::wstring> entries;
    for (int position = 0; position < GetMenuItemCount(installed); position++) {
        wchar_t caption[MAX_PATH + 1] = L"";
        GetMenuStringW(installed, position, caption, MAX_PATH, MF_BYPOSITION);
        UINT state = GetMenuState(installed, position, MF_BYPOSITION);
        entries.push_back(caption + std::wstring(state & MF_CHECKED ? L" (checked)" : L"") +
                          (state & MF_GRAYED ? L" (greyed)" : L""));
    }
    return entries;
}

std::string DesktopValue(const char *name)
{
    char value[MAX_PATH + 1] = "";
    DWORD size = sizeof(value);
    RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", name, RRF_RT_REG_SZ, NULL, value, &size);
    return value;
}

/* The system's own name for a file in the system folder: a 32-bit
 * program's system folder is the system's SysWOW64. */
std::string SystemsName(const std::string &file)
{
    char folder[MAX_PATH + 1];
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        return file;
    return std::string(folder, GetSystemWow64DirectoryA(folder, MAX_PATH)) + file.substr(file.rfind('\\'));
}

/* The system's folders hold no savers in a fresh prefix; the probes put
 * there (one file name in both, listed once: the system folder's) are
 * listed by their own names, or by their file names, in that order. One
 * chosen is opened as the open dialog opens a file; made the system's
 * saver, it is checked. A path with a blank goes to the system in its
 * short form; a write that fails is told, and changes nothing. */
TEST_F(ModalRun, InstalledSaversAndTheSystemSaver)
{
    char folder[MAX_PATH + 1];
    const std::string system = std::string(folder, GetSystemDirectoryA(folder, MAX_PATH)) + "\\";
    const std::string windows = std::string(folder, GetWindowsDirectoryA(folder, MAX_PATH)) + "\\";
    const std::string probe = ProbePath("probe.scr");
    const Strings copies = {system + "novra_a1.scr", windows + "novra_b2.scr", windows + "novra_a1.scr"};
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "SCRNSAVE.EXE");
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, NULL, SPIF_UPDATEINIFILE);
    HWND window = OpenPreviewing({probe});
    EXPECT_EQ(std::vector<std::wstring>{L"(なし) (greyed)"}, InstalledEntries(window));
    CopyFileA(ProbePath("probe_named.scr").c_str(), copies[0].c_str(), FALSE);
    CopyFileA(probe.c_str(), copies[1].c_str(), FALSE);
    CopyFileA(ProbePath("probe_named.scr").c_str(), copies[2].c_str(), FALSE);
    EXPECT_EQ((std::vector<std::wstring>{L"novra_b2", L"ゼータ && probe"}), InstalledEntries(window));

    Command(window, IDM_INSTALLED_FIRST + 1);
    ExpectOneStartAfterAPause(window);
    EXPECT_EQ((Strings{copies[0], probe, "", "", ""}), RecentSlots());
    BOOL active = FALSE;
    Command(window, IDM_SET_SYSTEM_SAVER);
    EXPECT_EQ(SystemsName(copies[0]), DesktopValue("SCRNSAVE.EXE"));
    EXPECT_EQ("1", DesktopValue("ScreenSaveActive"));
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0) && active);
    EXPECT_EQ((std::vector<std::wstring>{L"novra_b2", L"ゼータ && probe (checked)"}), InstalledEntries(window));
    CloseViewer();

    const std::string blank = MakeTempFolder(" b system") + "my probe.scr";
    CopyFileA(probe.c_str(), blank.c_str(), FALSE);
    Command(OpenViewer({blank}), IDM_SET_SYSTEM_SAVER);
    char shortPath[MAX_PATH + 1] = "";
    GetShortPathNameA(blank.c_str(), shortPath, sizeof(shortPath));
    EXPECT_EQ(shortPath, DesktopValue("SCRNSAVE.EXE"));
    EXPECT_EQ(std::string::npos, DesktopValue("SCRNSAVE.EXE").find(' '));

    HKEY empty = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\NOVRA test", 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL,
                    &empty, NULL);
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, empty));
    BoxAnswer told = {IDOK, L""};
    HANDLE answer = AnswerMessageBox(&told);
    Command(GetState()->mainWindow, IDM_SET_SYSTEM_SAVER);
    EXPECT_TRUE(JoinThread(answer));
    RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    RegCloseKey(empty);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\NOVRA test");
    EXPECT_EQ(0u, told.text.find(L"スクリーンセーバーに設定できませんでした: "));
    EXPECT_EQ(shortPath, DesktopValue("SCRNSAVE.EXE"));

    CloseViewer();
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "SCRNSAVE.EXE");
    for (const std::string &copy : copies)
        DeleteFileA(copy.c_str());
    DeleteFileA(blank.c_str());
    RemoveDirectoryA(blank.substr(0, blank.rfind('\\')).c_str());
}

}  // namespace
