/* Shared helpers of the tests: a viewer window in this process, the one
 * line of its state that tables compare, acting while the viewer runs a
 * loop of its own, the probe savers' log, pixels and processes. */
#ifndef NOVRA_TEST_SUPPORT_H
#define NOVRA_TEST_SUPPORT_H

#include <windows.h>

#include <gtest/gtest.h>

#include "support/probe_log.h"

/* The test program's folder, with a trailing backslash; the probe savers
 * and novra.exe are built into it. */
std::string ProgramFolder();
std::string ProbePath(const char *name);
/* A fresh folder under the temporary one, whose name ends in `tail`. */
std::string MakeTempFolder(const std::string &tail);
/* The settings file of the viewer code running in this process. */
std::string TestSettingsPath();
Strings IniSection(const std::string &file, const char *section);

/* A viewer main window in this process as WinMain creates it, over a
 * settings file of this text with these savers as the recent list; given a
 * log, returned once the first preview has painted. */
HWND OpenViewer(const Strings &savers = Strings(), const ProbeLog *log = NULL,
                const std::string &settings = "");
/* Closes it and swallows the WM_QUIT that its destruction posts. */
void CloseViewer();
/* Sees every message to the window before the viewer does. */
void Spy(HWND window, const std::function<void(UINT, WPARAM)> &spy);
void Command(HWND window, UINT id);
bool Grayed(HMENU menu, UINT id);
std::string WindowTitle(HWND window);
std::string PreviewTitle(const std::string &saver);
/* The viewer's state in one line: "<play state> | <title> | commands on",
 * or off, or mixed, for Start saver, Reset, Stop and Settings together. */
std::string ViewerLine();
/* What a probe logs when its window fills the client area. */
std::string ClientEvent(HWND window);
/* The File menu's entries after its four fixed items, as "<id> <caption>". */
Strings RecentMenuEntries(HWND window);

/* Whether the probes' trail is the expected one, in the manner of a message
 * sequence: an entry written "?event" may be there or not (a saver that is
 * stopped may die before it logs its exit), and "#" in an entry stands for
 * the window's handle. */
::testing::AssertionResult TrailIs(const Strings &expected, const Strings &trail, HWND window = NULL);

/* Runs `action` once `ready` holds, from a timer of this thread, which
 * fires inside whatever loop the viewer runs (a dialog's, a menu's, a
 * settings or full-screen run's): so the action acts during that loop.
 * Not ready within 10 s is a failure, and the probes are ended. */
void When(const std::function<bool()> &ready, const std::function<void()> &action);
/* A When that never comes: a loop still running 10 s on fails and ends. */
void GuardFor10s();
/* Nothing waits any more. */
void CancelWhen();
/* When a dialog box of this thread shows, with it. */
void WhenDialog(const std::function<void(HWND)> &action);
/* From another thread, for what blocks this one (a call into another
 * process): answers a message box of any process with `button`, keeping
 * its text. JoinThread tells whether one was answered. */
struct BoxAnswer {
    UINT button;
    std::wstring text;
};
HANDLE AnswerMessageBox(BoxAnswer *answer);

/* The longest horizontal run of pixels of the window's client area for
 * which `matches` holds. */
int PixelRun(HWND window, bool (*matches)(COLORREF));

/* Waits until no program whose file name starts with `prefix` (any case)
 * runs. */
bool WaitNoProcessesNamed(const char *prefix, DWORD timeoutMs);
/* Spares the tests after a failed one what it left running. */
void EndProcessesNamed(const char *prefix);
std::vector<HWND> ChildWindows(HWND parent);
/* Waits, pumping, for the thread; true when it returned 0. */
bool JoinThread(HANDLE thread);

#endif
