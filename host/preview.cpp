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

/* Child windows beyond this many are not closed one by one; they end
 * with their process. */
#define CLOSE_WINDOW_LIMIT  64

struct ChildWindowList {
    HWND windows[CLOSE_WINDOW_LIMIT];
    int count;
};

static BOOL CALLBACK CollectChildWindowProc(HWND window, LPARAM list)
{
    ChildWindowList *children = (ChildWindowList *)list;

    if (children->count < CLOSE_WINDOW_LIMIT)
        children->windows[children->count++] = window;
    return TRUE;
}

/* The enumeration lists a window before its own children, and a saver's
 * window takes its children along when it closes, so closing while
 * enumerating would skip them. The list is closed from its end instead:
 * every window gets its WM_CLOSE before its parent does. */
void StopPreview(void)
{
    ViewerState *state = GetState();
    DWORD hungThread = 0;
    ChildWindowList children;

    children.count = 0;
    EnumChildWindows(state->mainWindow, CollectChildWindowProc, (LPARAM)&children);
    for (int index = children.count - 1; index >= 0; index--)
        CloseChildWindowProc(children.windows[index], (LPARAM)&hungThread);
    WaitForSingleObject(state->processInfo.hProcess, STOP_GRACE_MS);
    TerminateProcess(state->processInfo.hProcess, 0);
    CloseHandle(state->processInfo.hThread);
    CloseHandle(state->processInfo.hProcess);
}
