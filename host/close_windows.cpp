#include "close_windows.h"

/* Child windows beyond this many are not closed one by one; they end
 * with their process. */
#define CLOSE_WINDOW_LIMIT 64

struct ChildWindowList {
    HWND windows[CLOSE_WINDOW_LIMIT];
    int count;
};

static BOOL CALLBACK CollectChildWindowProc(HWND window, LPARAM list)
{
    ChildWindowList *children = (ChildWindowList *)list;

    if (children->count < CLOSE_WINDOW_LIMIT) {
        children->windows[children->count] = window;
        children->count++;
    }
    return TRUE;
}

/* SMTO_BLOCK is deliberately absent: while a saver's window is destroyed
 * it sends WM_PARENTNOTIFY back to its parent, and the host must stay able
 * to handle that, or every send would wait out its whole time-out. Once
 * one window of a thread has timed out, the thread's other windows are
 * skipped: they would only add their own time-outs. */
static void CloseChildWindowProc(HWND window, DWORD *hungThread)
{
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    DWORD_PTR result;

    if (*hungThread != 0 && *hungThread == thread)
        return;
    if (SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, CLOSE_TIMEOUT_MS,
                            &result) == 0 && GetLastError() != ERROR_INVALID_WINDOW_HANDLE)
        *hungThread = thread;
}

/* The enumeration lists a window before its own children, and a saver's
 * window takes its children along when it closes, so closing while
 * enumerating would skip them. The list is closed from its end instead. */
int CloseChildWindows(HWND parent)
{
    ChildWindowList children;
    DWORD hungThread = 0;

    children.count = 0;
    EnumChildWindows(parent, CollectChildWindowProc, (LPARAM)&children);
    for (int index = children.count - 1; index >= 0; index--) {
        /* A window destroyed by an earlier close (or by a handler that ran
         * during a send) is gone: skip it. */
        if (IsWindow(children.windows[index]))
            CloseChildWindowProc(children.windows[index], &hungThread);
    }
    return hungThread == 0;
}
