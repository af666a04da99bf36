/* The preview process: the current saver started with "/p" inside the
 * main window, and ended again. */
#ifndef NOVRA_PREVIEW_H
#define NOVRA_PREVIEW_H

#include <windows.h>

/* The longest a saver's window may take to handle WM_CLOSE before the
 * saver is terminated anyway. */
#define CLOSE_TIMEOUT_MS    500
#define STOP_GRACE_MS       5

int StartPreview(void);
void StopPreview(void);
void ResetStartupInfo(void);
BOOL CALLBACK CloseChildWindowProc(HWND window, LPARAM hungThread);

#endif
