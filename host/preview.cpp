#include "preview.h"

#include <string.h>

#include "app/state.h"
#include "host/saver_process.h"

void ResetStartupInfo(void)
{
    ViewerState *state = GetState();

    memset(&state->startupInfo, 0, sizeof(state->startupInfo));
    memset(&state->processInfo, 0, sizeof(state->processInfo));
    state->startupInfo.cb = sizeof(state->startupInfo);
    state->startupInfo.dwFlags = STARTF_USESHOWWINDOW;
    state->startupInfo.wShowWindow = SW_SHOWNORMAL;
}

int StartPreview(void)
{
    ViewerState *state = GetState();

    ResetStartupInfo();
    return LaunchSaver("/p", state->mainWindow);
}

/* Each send is bounded: a saver that never answers WM_CLOSE would
 * otherwise hold the viewer forever. SMTO_BLOCK is deliberately absent:
 * while a saver's window is destroyed it sends WM_PARENTNOTIFY back to the
 * main window, and the viewer must stay able to handle that, or every
 * send would wait out its whole time-out. Once one window of a thread has
 * timed out, the thread's other windows are skipped: they would only add
 * their own time-outs. */
BOOL CALLBACK CloseChildWindowProc(HWND window, LPARAM hungThread)
{
    DWORD *hung = (DWORD *)hungThread;
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    DWORD_PTR result;

    if (*hung != 0 && *hung == thread)
        return TRUE;
    if (SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, CLOSE_TIMEOUT_MS,
                            &result) == 0 && GetLastError() == ERROR_TIMEOUT)
        *hung = thread;
    return TRUE;
}

void StopPreview(void)
{
    ViewerState *state = GetState();
    DWORD hungThread = 0;

    EnumChildWindows(state->mainWindow, CloseChildWindowProc, (LPARAM)&hungThread);
    WaitForSingleObject(state->processInfo.hProcess, STOP_GRACE_MS);
    TerminateProcess(state->processInfo.hProcess, 0);
    CloseHandle(state->processInfo.hThread);
    CloseHandle(state->processInfo.hProcess);
}
