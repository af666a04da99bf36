#include "launcher.h"

#include <stdio.h>
#include <string.h>

/* How often a job that is being emptied is looked at. */
#define JOB_POLL_MS 5

int BuildSaverCommand(char *buffer, size_t size, const char *path, const char *switchText,
                      HWND parent)
{
    const char *quote = strchr(path, ' ') != NULL ? "\"" : "";
    int length;

    /* No file name holds a quotation mark; one from a hand-edited settings
     * file would end the quoted name early and hand the rest to the saver
     * as its switches. */
    if (strchr(path, '"') != NULL) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }

    /* A window handle's value fits in 32 bits on 64-bit Windows too; it
     * is written as that sign-extended 32-bit value. */
    if (parent != NULL)
        length = snprintf(buffer, size, "%s%s%s %s %ld", quote, path, quote, switchText,
                          HandleToLong(parent));
    else
        length = snprintf(buffer, size, "%s%s%s %s", quote, path, quote, switchText);
    if (length > 0 && (size_t)length < size)
        return 1;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return 0;
}

HANDLE CreateKillOnCloseJob(void)
{
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    HANDLE job = CreateJobObjectA(NULL, NULL);

    if (job == NULL)
        return NULL;
    ZeroMemory(&limits, sizeof(limits));
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    return job;
}

int IsInJob(HANDLE process, HANDLE job)
{
    BOOL inJob = FALSE;

    return job != NULL && IsProcessInJob(process, job, &inJob) && inJob;
}

int JobIsEmpty(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting;

    ZeroMemory(&accounting, sizeof(accounting));
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof(accounting), NULL))
        return 1;
    return accounting.ActiveProcesses == 0;
}

/* A process is counted in the job until it is wholly gone, its windows
 * destroyed; nothing signals that for a whole job, so it is polled. */
void EndSaverJob(HANDLE *job)
{
    DWORD start = GetTickCount();

    if (*job == NULL)
        return;
    TerminateJobObject(*job, 0);
    while (JobIsEmpty(*job) != 1 && GetTickCount() - start < END_WAIT_MS)
        Sleep(JOB_POLL_MS);
    CloseHandle(*job);
    *job = NULL;
}

int LaunchSaverCommand(char *command, STARTUPINFOA *startup, PROCESS_INFORMATION *process,
                       HANDLE job)
{
    /* Started suspended and resumed once in the job: a saver that starts
     * a program of its own in its first moments would otherwise start it
     * outside the job, and leave it behind. */
    DWORD flags = NORMAL_PRIORITY_CLASS | (job != NULL ? CREATE_SUSPENDED : 0);

    if (CreateProcessA(NULL, command, NULL, NULL, FALSE, flags, NULL, NULL, startup, process) != 1)
        return 0;
    if (job == NULL)
        return 1;

    /* Fails where the caller already runs in a job that allows no nesting
     * (before Windows 8); the saver then simply runs unguarded. */
    AssignProcessToJobObject(job, process->hProcess);
    ResumeThread(process->hThread);
    return 1;
}

void EndSaverProcess(PROCESS_INFORMATION *process, DWORD graceMs)
{
    if (process->hProcess == NULL)
        return;
    WaitForSingleObject(process->hProcess, graceMs);
    TerminateProcess(process->hProcess, 0);
    WaitForSingleObject(process->hProcess, END_WAIT_MS);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
    process->hThread = NULL;
    process->hProcess = NULL;
}
