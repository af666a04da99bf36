/* Shared helpers of the tests: a viewer window in the test process, a copy
 * of the real program, message pumping with time-outs, the probe savers'
 * logs, files and processes. */
#ifndef NOVRA_TEST_SUPPORT_H
#define NOVRA_TEST_SUPPORT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

typedef std::vector<std::string> Strings;

/* Folder of the running test program, with a trailing backslash; the
 * probe savers and novra.exe are built into the same folder. */
std::string ProgramFolder();
std::string ProbePath(const char *name);
/* A fresh folder under the temporary one, whose name ends in `tail`. */
std::string MakeTempFolder(const std::string &tail);

/* The viewer code running in-process keeps its settings beside the test
 * program. */
std::string TestSettingsPath();
void RemoveTestSettings();

void PumpMessages(DWORD ms);
/* Pumps until the condition holds; false after `timeoutMs`. */
bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs);

/* A viewer main window in this process, as WinMain creates it, with these
 * savers as its recent list in a fresh settings file. */
HWND OpenViewerWith(const Strings &savers);
HWND OpenViewer();
/* Closes it and swallows the WM_QUIT that its destruction posts. */
void CloseViewer();
void Command(HWND window, UINT id);
void Resize(HWND window, int width, int height);
bool Grayed(HMENU menu, UINT id);
/* What a probe filling the window's client area logs. */
std::string ClientEvent(HWND window);
std::string WindowTitle(HWND window);
/* The File menu's entries after its four fixed items, as "<id> <caption>". */
Strings RecentMenuEntries(HWND window);

/* Runs `action` with the dialog the first time a dialog box of this thread
 * waits for input, that is once it has filled its controls. */
void WhenDialogIdle(const std::function<void(HWND)> &action);
/* Runs Open and answers the dialog with `name` (NULL: Cancel); returns the
 * file name the dialog opened with. */
std::string OpenThroughDialog(HWND window, const char *name);
/* Drops files on the window as the shell does, names in ANSI or UTF-16. */
void DropFiles(HWND window, const Strings &names, bool wide);
/* Shows the context menu by `message` and describes the popup: item count,
 * then E or G for the full-screen and restore items. */
std::string ContextMenuStates(HWND window, UINT message);

Strings IniSection(const std::string &file, const char *section);
void WriteIni(const std::string &file, const char *section, const char *key, const char *value);
std::string ReadFileText(const std::string &path);

/* The probes' common log; set in the environment for its life, so every
 * probe the viewer starts meanwhile writes to it. */
class ProbeLog {
public:
    ProbeLog();
    ~ProbeLog();
    void Clear();
    Strings Lines() const;
    /* Events (the text after tick and pid) that start with `prefix`. */
    Strings Events(const std::string &prefix) const;
    bool WaitFor(const std::string &prefix, size_t count, DWORD timeoutMs) const;
    const std::string &Path() const { return path; }

private:
    std::string path;
};

/* Running programs whose file name starts with `prefix` (any case). */
std::vector<DWORD> ProcessesNamed(const char *prefix);
bool WaitNoProcessesNamed(const char *prefix, DWORD timeoutMs);
void EndProcessesNamed(const char *prefix);
std::vector<HWND> ChildWindows(HWND parent);
bool JoinThread(HANDLE thread);

/* A copy of novra.exe named `exe` in a fresh folder, so that its settings
 * file starts absent; what it started is ended and the folder removed. */
class ViewerCopy {
public:
    explicit ViewerCopy(const std::string &exe = "novra.exe", const std::string &tail = "");
    ~ViewerCopy();
    /* The main window of the started program once it shows, or NULL. */
    HWND Start(const std::string &arguments = "");
    HANDLE Process() const { return processes.back(); }
    /* Closes the window and returns the program's exit code. */
    DWORD Close(HWND window);
    std::string folder;
    std::string exe;

private:
    std::vector<HANDLE> processes;
};

#endif
