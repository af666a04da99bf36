/* Shared helpers of the tests: a viewer window in the test process, message
 * pumping with time-outs, the probe savers' logs, files and processes. */
#ifndef NOVRA_TEST_SUPPORT_H
#define NOVRA_TEST_SUPPORT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

/* Folder of the running test program, with a trailing backslash; the
 * probe savers and novra.exe are built into the same folder. */
std::string ProgramFolder();
std::string ProbePath(const char *name);

/* The settings file of the test program itself (the viewer code running
 * in-process keeps its settings beside the test program). */
std::string TestSettingsPath();
void RemoveTestSettings();

/* Dispatches messages for `ms` milliseconds. */
void PumpMessages(DWORD ms);
/* Pumps until the condition holds; false after `timeoutMs`. */
bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs);

/* A viewer main window created in this process, as WinMain would. */
HWND OpenViewer(int showCommand = SW_SHOWNORMAL);
/* Closes it (WM_CLOSE) and swallows the WM_QUIT that its destruction
 * posts, so the next test starts clean. */
void CloseViewer();

/* Keys of one section of an ini file, in file order, as "KEY=value". */
std::vector<std::string> IniSection(const std::string &file, const char *section);
void WriteIni(const std::string &file, const char *section, const char *key, const char *value);
std::string ReadFileText(const std::string &path);

/* The probes' common log: events appended by every probe started while it
 * is set (the environment reaches them through the viewer). */
class ProbeLog {
public:
    ProbeLog();
    ~ProbeLog();
    void Clear();
    std::vector<std::string> Lines() const;
    /* Lines whose event (after tick and pid) starts with `prefix`. */
    std::vector<std::string> Events(const std::string &prefix) const;
    bool WaitFor(const std::string &prefix, size_t count, DWORD timeoutMs) const;
    const std::string &Path() const { return path; }

private:
    std::string path;
};

/* Process ids of running programs whose file name starts with `prefix`
 * (case-insensitive), e.g. "probe". */
std::vector<DWORD> ProcessesNamed(const char *prefix);
bool WaitNoProcessesNamed(const char *prefix, DWORD timeoutMs);

/* Child windows of `parent` (all depths). */
std::vector<HWND> ChildWindows(HWND parent);

/* Starts the viewer in this process with these savers as its recent list
 * (a fresh settings file), and returns its window. */
HWND OpenViewerWith(const std::vector<std::string> &savers);

std::string WindowTitle(HWND window);

/* The File menu's entries after its four fixed items, as "<id> <caption>". */
std::vector<std::string> RecentMenuEntries(HWND window);

/* Answers the open dialog owned by `owner` from a second thread, as a user
 * would: keeps the file name it opened with in `*initial` (when not NULL),
 * types `name` and presses OK, or presses Cancel when `name` is NULL.
 * Start it before the command that opens the dialog; JoinThread it after. */
HANDLE DriveOpenDialog(HWND owner, const char *name, std::string *initial);
/* Waits for the thread (10 s at most) and closes it; true when it ended
 * with exit code 0. */
bool JoinThread(HANDLE thread);

#endif
