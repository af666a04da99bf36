#include "saver_process.h"

#include <string.h>

#include "app/state.h"

void ResetStartupInfo(void)
{
    ViewerState *state = GetState();

    memset(&state->startupInfo, 0, sizeof(state->startupInfo));
    memset(&state->processInfo, 0, sizeof(state->processInfo));
    state->startupInfo.cb = sizeof(state->startupInfo);
    state->startupInfo.dwFlags = STARTF_USESHOWWINDOW;
    state->startupInfo.wShowWindow = SW_SHOWNORMAL;
}

/* The job is kill-on-close, so the run ends with the viewer whatever way
 * the viewer ends, a crash included: a full-screen saver left behind
 * would keep the screen. The viewer itself stays out of it, so programs
 * the shell opens for it do not die with it. A child that could not join
 * (the viewer's own job allows no nesting) runs unguarded, alone. */
int LaunchSaver(const char *switchText, HWND parent)
{
    ViewerState *state = GetState();
    char command[COMMAND_BUFFER];
    HANDLE job;
    DWORD error;

    if (state->processInfo.hProcess != NULL)
        return 0;
    if (BuildSaverCommand(command, sizeof(command), state->currentSaver, switchText, parent) != 1)
        return 0;
    job = CreateKillOnCloseJob();
    if (LaunchSaverCommand(command, &state->startupInfo, &state->processInfo, job) != 1) {
        error = GetLastError();
        if (job != NULL)
            CloseHandle(job);
        SetLastError(error);
        return 0;
    }
    if (job != NULL && IsInJob(state->processInfo.hProcess, job) != 1) {
        CloseHandle(job);
        job = NULL;
    }
    state->saverJob = job;
    state->childStarts++;
    return 1;
}

void EndHeldSaver(DWORD graceMs)
{
    ViewerState *state = GetState();

    if (state->processInfo.hProcess == NULL)
        return;
    WaitForSingleObject(state->processInfo.hProcess, graceMs);
    EndSaverJob(&state->saverJob);
    EndSaverProcess(&state->processInfo, 0);
}

int HeldRunHasEnded(DWORD *exitCode)
{
    ViewerState *state = GetState();

    *exitCode = STILL_ACTIVE;
    if (state->processInfo.hProcess == NULL)
        return 1;
    if (WaitForSingleObject(state->processInfo.hProcess, 0) != WAIT_OBJECT_0)
        return 0;
    if (state->saverJob != NULL && JobIsEmpty(state->saverJob) != 1)
        return 0;
    GetExitCodeProcess(state->processInfo.hProcess, exitCode);
    return 1;
}
