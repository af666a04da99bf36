/* Shared helpers of the tests: a viewer window in this process or a copy
 * of the real program, message pumping with time-outs, the probe savers'
 * log, menus and dialogs answered from their own modal loops. */
#ifndef NOVRA_TEST_SUPPORT_H
#define NOVRA_TEST_SUPPORT_H

#include <windows.h>

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
/* What a probe logs when its window fills the client area. */
std::string ClientEvent(HWND window);
/* The File menu's entries after its four fixed items, as "<id> <caption>". */
Strings RecentMenuEntries(HWND window);

/* Runs `action` with the dialog once a dialog box of this thread waits for
 * input, that is once it has filled its controls. */
void WhenDialogIdle(const std::function<void(HWND)> &action);
/* A message box (of any process) answered from another thread while this
 * one runs the loop that waits on it: its text, and the button it gets. */
struct BoxAnswer {
    UINT button;
    std::wstring text;
};
/* Starts the thread; JoinThread tells whether a box was answered. */
HANDLE AnswerMessageBox(BoxAnswer *answer);
/* Waits until no program whose file name starts with `prefix` (any case)
 * runs. */
bool WaitNoProcessesNamed(const char *prefix, DWORD timeoutMs);
/* Spares the tests after a failed one what it left running. */
void EndProcessesNamed(const char *prefix);
std::vector<HWND> ChildWindows(HWND parent);
/* Waits, pumping, for the thread; true when it returned 0. */
bool JoinThread(HANDLE thread);

#endif
