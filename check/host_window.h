/* The checker's own host windows, bounded waits with the message queue
 * kept running, and the arithmetic of their time-outs: a saver's window
 * sends to its parent and owner (WM_PARENTNOTIFY, activation), so the
 * host's thread must answer while it waits. */
#ifndef NOVRA_CHECK_HOST_WINDOW_H
#define NOVRA_CHECK_HOST_WINDOW_H

#include <windows.h>

/* A visible borderless window whose client area is width x height (either
 * may be 0); NULL when it cannot be made. */
HWND CreateHostWindow(int width, int height);

/* Another window of the checker's, made and put in front, so that a saver
 * that takes the foreground window for its owner does not find the host. */
HWND CreateFrontWindow(void);

/* Milliseconds since `start`, and what is left of boundMs, each from one
 * read of the tick count: unsigned subtraction stays right across the
 * count's wrap, and the remainder never goes below 0. */
DWORD ElapsedMs(DWORD start);
DWORD RemainingMs(DWORD start, DWORD boundMs);

/* Dispatches messages until `done(context)` is 1 or timeoutMs passed, waking
 * at once when `handle` (a process, or NULL) is signalled. 1 when done. */
int PumpUntil(int (*done)(void *context), void *context, HANDLE handle, DWORD timeoutMs);

#endif
