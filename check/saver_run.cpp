#include "saver_run.h"

#include <stddef.h>

#include "check/host_window.h"

#define PROCESS_LIST_LIMIT 32
/* A helper of the saver that is itself just ending is no orphan. */
#define ORPHAN_GRACE_MS 300

struct WindowSearch {
    const SaverRun *run;
    int kind;
    HWND host;
    HWND found;
};

int StartSaverRun(SaverRun *run, const char *path, const char *switchText, HWND host)
{
    char command[COMMAND_BUFFER];
    STARTUPINFOA startup;

    ZeroMemory(run, sizeof(*run));
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    run->exitCode = STILL_ACTIVE;
    if (BuildSaverCommand(command, sizeof(command), path, switchText, host) != 1)
        return 0;
    run->job = CreateKillOnCloseJob();
    run->startTick = GetTickCount();
    if (LaunchSaverCommand(command, &startup, &run->process, run->job) == 1)
        return 1;
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

static int CoversScreen(HWND window)
{
    RECT area;

    GetWindowRect(window, &area);
    return area.left <= 0 && area.top <= 0 && area.right >= GetSystemMetrics(SM_CXSCREEN) &&
           area.bottom >= GetSystemMetrics(SM_CYSCREEN);
}

static int Matches(const WindowSearch *search, HWND window)
{
    DWORD processId = 0;
    char className[16];

    GetWindowThreadProcessId(window, &processId);
    if (search->kind == FIND_CHILD)
        return GetParent(window) == search->host;
    if (!IsWindowVisible(window))
        return 0;
    if (search->kind == FIND_ERROR_BOX)
        return GetClassNameA(window, className, sizeof(className)) > 0 && lstrcmpA(className, "#32770") == 0 &&
               IsRunProcess(search->run, processId) == 1;
    if (processId != search->run->process.dwProcessId)
        return 0;
    if (search->kind == FIND_COVERING)
        return CoversScreen(window);
    return search->kind == FIND_TOPLEVEL || GetWindow(window, GW_OWNER) == search->host;
}

static BOOL CALLBACK MatchWindowProc(HWND window, LPARAM lParam)
{
    WindowSearch *search = (WindowSearch *)lParam;

    if (Matches(search, window) != 1)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindSaverWindow(const SaverRun *run, int kind, HWND host)
{
    WindowSearch search = {run, kind, host, NULL};

    if (kind == FIND_CHILD)
        EnumChildWindows(host, MatchWindowProc, (LPARAM)&search);
    else
        EnumWindows(MatchWindowProc, (LPARAM)&search);
    return search.found;
}

static int HasEnded(SaverRun *run)
{
    if (run->exitCode != STILL_ACTIVE || run->process.hProcess == NULL)
        return 1;
    if (WaitForSingleObject(run->process.hProcess, 0) != WAIT_OBJECT_0)
        return 0;
    GetExitCodeProcess(run->process.hProcess, &run->exitCode);
    return 1;
}

static int IsSaverWindowThere(void *context)
{
    WindowSearch *search = (WindowSearch *)context;

    search->found = FindSaverWindow(search->run, search->kind, search->host);
    return search->found != NULL || HasEnded((SaverRun *)search->run) == 1;
}

HWND WaitForSaverWindow(SaverRun *run, int kind, HWND host, DWORD timeoutMs)
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

/* Exception codes carry the error severity in their top two bits. */
int EndedByException(const SaverRun *run)
{
    return run->exitCode != STILL_ACTIVE && (run->exitCode & 0xC0000000) == 0xC0000000;
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
    PumpUntil(HasNoOtherProcess, run, NULL, ORPHAN_GRACE_MS);
    CloseHandle(run->job);
    run->job = NULL;
}
