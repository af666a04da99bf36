#include "saver_run.h"

#include <stddef.h>

#include "host/exit_code.h"
#include "check/host_window.h"

#define PROCESS_LIST_LIMIT 32
/* A helper that the saver started and that ends by itself a moment after
 * it (a text helper, a sound) is no orphan. */
#define ORPHAN_GRACE_MS 1000

struct WindowSearch {
    const SaverRun *run;
    WindowKind kind;
    HWND host;
    HWND found;
};

/* Null standard handles: the saver's error output, and what a crash handler
 * it starts prints, would otherwise land on the checker's own output (Wine
 * hands a child its parent's handles even without inheritance). */
int StartSaverRun(SaverRun *run, const char *path, const char *switchText, HWND host)
{
    char command[COMMAND_BUFFER];
    STARTUPINFOA startup;
    BOOL inJob = FALSE;

    ZeroMemory(run, sizeof(*run));
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    run->exitCode = STILL_ACTIVE;
    if (BuildSaverCommand(command, sizeof(command), path, switchText, host) != 1) {
        run->startError = GetLastError();
        return 0;
    }
    run->job = CreateKillOnCloseJob();
    run->startTick = GetTickCount();
    if (LaunchSaverCommand(command, &startup, &run->process, run->job) == 1) {
        run->watched = run->job != NULL && IsProcessInJob(run->process.hProcess, run->job, &inJob) && inJob;
        return 1;
    }
    run->startError = GetLastError();
    if (run->job != NULL)
        CloseHandle(run->job);
    run->job = NULL;
    return 0;
}

/* The job's process list, or the saver alone where the platform gives none.
 * The list is read through a buffer of its own: the header declares the ids
 * as an array of one, which the compiler may take at its word. */
static int IsRunProcess(const SaverRun *run, DWORD processId)
{
    ULONG_PTR buffer[PROCESS_LIST_LIMIT + 2];
    JOBOBJECT_BASIC_PROCESS_ID_LIST *list = (JOBOBJECT_BASIC_PROCESS_ID_LIST *)buffer;
    const ULONG_PTR *ids = buffer + offsetof(JOBOBJECT_BASIC_PROCESS_ID_LIST, ProcessIdList) / sizeof(ULONG_PTR);

    if (processId == run->process.dwProcessId)
        return 1;
    ZeroMemory(buffer, sizeof(buffer));
    list->NumberOfAssignedProcesses = PROCESS_LIST_LIMIT;
    if (run->job == NULL || !QueryInformationJobObject(run->job, JobObjectBasicProcessIdList, buffer, sizeof(buffer),
                                                       NULL))
        return 0;
    for (DWORD index = 0; index < list->NumberOfProcessIdsInList && index < PROCESS_LIST_LIMIT; index++) {
        if (ids[index] == processId)
            return 1;
    }
    return 0;
}

static int CoversPrimary(HWND window)
{
    RECT area;

    GetWindowRect(window, &area);
    return area.left <= 0 && area.top <= 0 && area.right >= GetSystemMetrics(SM_CXSCREEN) &&
           area.bottom >= GetSystemMetrics(SM_CYSCREEN);
}

static int IsDialogBox(HWND window)
{
    char className[16];

    return GetClassNameA(window, className, sizeof(className)) > 0 && lstrcmpA(className, "#32770") == 0;
}

static int Matches(const WindowSearch *search, HWND window)
{
    DWORD processId = 0;
    int own;

    GetWindowThreadProcessId(window, &processId);
    own = processId == search->run->process.dwProcessId;
    if (search->kind == WINDOW_CHILD)
        return GetParent(window) == search->host;
    if (!IsWindowVisible(window))
        return 0;
    if (search->kind == WINDOW_HANDLER_BOX)
        return !own && IsDialogBox(window) && IsRunProcess(search->run, processId) == 1;
    if (!own)
        return 0;
    if (search->kind == WINDOW_ERROR_BOX)
        return IsDialogBox(window);
    if (search->kind == WINDOW_COVERING)
        return CoversPrimary(window);
    return search->kind == WINDOW_TOPLEVEL || GetWindow(window, GW_OWNER) == search->host;
}

static BOOL CALLBACK MatchWindowProc(HWND window, LPARAM lParam)
{
    WindowSearch *search = (WindowSearch *)lParam;

    if (Matches(search, window) != 1)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindSaverWindow(const SaverRun *run, WindowKind kind, HWND host)
{
    WindowSearch search = {run, kind, host, NULL};

    if (kind == WINDOW_CHILD)
        EnumChildWindows(host, MatchWindowProc, (LPARAM)&search);
    else
        EnumWindows(MatchWindowProc, (LPARAM)&search);
    return search.found;
}

/* A debugger the platform starts for a crashed saver (Wine's own, or a
 * just-in-time debugger) holds it behind a dialog box; closing the box lets
 * the crash go on, and the saver ends with the exception's code. Wine
 * starts its debugger whatever the error mode the saver inherited. */
static void AnswerCrashHandler(SaverRun *run)
{
    BOOL debugged = FALSE;
    HWND box;

    if (!CheckRemoteDebuggerPresent(run->process.hProcess, &debugged) || !debugged)
        return;
    run->heldByHandler = 1;
    box = FindSaverWindow(run, WINDOW_HANDLER_BOX, NULL);
    if (box != NULL)
        PostMessageA(box, WM_CLOSE, 0, 0);
}

static int HasEnded(SaverRun *run)
{
    if (run->exitCode != STILL_ACTIVE || run->process.hProcess == NULL)
        return 1;
    if (WaitForSingleObject(run->process.hProcess, 0) == WAIT_OBJECT_0) {
        GetExitCodeProcess(run->process.hProcess, &run->exitCode);
        return 1;
    }
    AnswerCrashHandler(run);
    return 0;
}

static int IsSaverWindowThere(void *context)
{
    WindowSearch *search = (WindowSearch *)context;

    search->found = FindSaverWindow(search->run, search->kind, search->host);
    return search->found != NULL || HasEnded((SaverRun *)search->run) == 1;
}

HWND WaitForSaverWindow(SaverRun *run, WindowKind kind, HWND host, DWORD timeoutMs)
{
    WindowSearch search = {run, kind, host, NULL};

    PumpUntil(IsSaverWindowThere, &search, run->process.hProcess, timeoutMs);
    return search.found;
}

static int HasEndedProc(void *context)
{
    return HasEnded((SaverRun *)context);
}

int WaitSaverEnd(SaverRun *run, DWORD timeoutMs)
{
    return PumpUntil(HasEndedProc, run, run->process.hProcess, timeoutMs);
}

/* 1 when the saver crashed: it ended by an exception, or the platform's
 * crash handler held it. */
static int RunCrashed(const SaverRun *run)
{
    const char *name;

    return run->heldByHandler == 1 ||
           (run->exitCode != STILL_ACTIVE && ReadExitCode(run->exitCode, &name) == END_CRASH);
}

static int HasNoOtherProcess(void *context)
{
    SaverRun *run = (SaverRun *)context;
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting;

    ZeroMemory(&accounting, sizeof(accounting));
    if (!QueryInformationJobObject(run->job, JobObjectBasicAccountingInformation, &accounting,
                                   sizeof(accounting), NULL))
        return 1;
    run->orphans = accounting.ActiveProcesses;
    return run->orphans == 0;
}

/* Terminated while the host keeps pumping: the saver's windows, children
 * of the host, are destroyed with it. */
void EndSaverRun(SaverRun *run)
{
    if (run->process.hProcess == NULL)
        return;
    if (HasEnded(run) != 1)
        TerminateProcess(run->process.hProcess, 0);
    WaitSaverEnd(run, END_WAIT_MS);
    EndSaverProcess(&run->process, 0);
    if (run->job == NULL)
        return;
    if (RunCrashed(run) != 1)
        PumpUntil(HasNoOtherProcess, run, NULL, ORPHAN_GRACE_MS);
    CloseHandle(run->job);
    run->job = NULL;
}
