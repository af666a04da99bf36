#include "saver_process.h"

#include <stdio.h>

#include "app/state.h"

int BuildSaverCommand(char *buffer, size_t size, const char *path, const char *switchText,
                      HWND parent)
{
    int length;

    if (parent != NULL)
        length = snprintf(buffer, size, "%s %s %d", path, switchText, (int)(INT_PTR)parent);
    else
        length = snprintf(buffer, size, "%s %s", path, switchText);
    return length > 0 && (size_t)length < size;
}

/* Every saver joins one job that kills its members when its last handle
 * closes, which happens when the viewer ends in any way, a crash
 * included. A saver left behind would otherwise keep running, and a
 * full-screen one would keep the screen. The viewer itself stays out of
 * the job, so programs the shell opens for it do not die with it. */
static HANDLE SaverJob(void)
{
    static HANDLE job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;

    if (job != NULL)
        return job;
    job = CreateJobObjectA(NULL, NULL);
    if (job == NULL)
        return NULL;
    ZeroMemory(&limits, sizeof(limits));
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    return job;
}

int LaunchSaver(const char *switchText, HWND parent)
{
    ViewerState *state = GetState();
    char command[COMMAND_BUFFER];

    if (BuildSaverCommand(command, sizeof(command), state->currentSaver, switchText, parent) != 1)
        return 0;
    if (CreateProcessA(NULL, command, NULL, NULL, FALSE, NORMAL_PRIORITY_CLASS, NULL, NULL,
                       &state->startupInfo, &state->processInfo) != TRUE)
        return 0;

    /* Fails where the viewer already runs in a job that allows no nesting
     * (before Windows 8); the saver then simply runs unguarded. */
    HANDLE job = SaverJob();
    if (job != NULL)
        AssignProcessToJobObject(job, state->processInfo.hProcess);
    return 1;
}
