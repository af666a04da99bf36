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

/* Every saver joins one job that kills its members when its last handle
 * closes, which happens when the viewer ends in any way, a crash
 * included. A saver left behind would otherwise keep running, and a
 * full-screen one would keep the screen. The viewer itself stays out of
 * the job, so programs the shell opens for it do not die with it. */
static HANDLE ViewerJob(void)
{
    static HANDLE job;

    if (job == NULL)
        job = CreateKillOnCloseJob();
    return job;
}

int LaunchSaver(const char *switchText, HWND parent)
{
    ViewerState *state = GetState();
    char command[COMMAND_BUFFER];

    if (state->processInfo.hProcess != NULL)
        return 0;
    if (BuildSaverCommand(command, sizeof(command), state->currentSaver, switchText, parent) != 1)
        return 0;
    if (LaunchSaverCommand(command, &state->startupInfo, &state->processInfo, ViewerJob()) != 1)
        return 0;
    state->childStarts++;
    return 1;
}

void EndHeldSaver(DWORD graceMs)
{
    EndSaverProcess(&GetState()->processInfo, graceMs);
}
