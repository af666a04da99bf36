/* Asking a saver's windows to close, with every send bounded: a saver
 * that never answers WM_CLOSE must not hold its host forever. */
#ifndef NOVRA_CLOSE_WINDOWS_H
#define NOVRA_CLOSE_WINDOWS_H

#include <windows.h>

/* The longest a saver's window may take to handle WM_CLOSE. */
#define CLOSE_TIMEOUT_MS 500

/* Sends WM_CLOSE to every child window of `parent`, each window before
 * its own parent. 1 when every send was answered, 0 when a window's
 * thread did not answer in time. */
int CloseChildWindows(HWND parent);

#endif
