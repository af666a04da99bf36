/* The notice that the main window shows where a preview should be: why
 * the saver is not running (it ended by itself, it crashed, it could not
 * be started), from the string table. It lives in the state record, and
 * only while no preview runs. */
#ifndef NOVRA_SAVER_NOTICE_H
#define NOVRA_SAVER_NOTICE_H

#include <windows.h>

void ClearSaverNotice(void);

/* The held preview's process ended by itself with this code. */
void NoteSaverEnd(DWORD exitCode);

/* The preview could not be started; `error` is GetLastError's. */
void NoteStartFailure(DWORD error);

void PaintSaverNotice(HWND window, HDC dc);

/* The system's own text for an error (GetLastError's), without its line
 * break; the number where the system has no text. */
void DescribeError(DWORD error, char *reason, DWORD size);

#endif
