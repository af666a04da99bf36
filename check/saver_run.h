/* One run of the saver under test: started through the viewer's launcher
 * into a kill-on-close job of its own, its windows looked up, its end
 * awaited with the host kept answering, and everything it left ended. */
#ifndef NOVRA_CHECK_SAVER_RUN_H
#define NOVRA_CHECK_SAVER_RUN_H

#include "host/launcher.h"

struct SaverRun {
    PROCESS_INFORMATION process;
    HANDLE job;
    DWORD startTick;
    DWORD exitCode;   /* STILL_ACTIVE until the saver ended */
    DWORD orphans;    /* processes of the job left running after the saver */
};

/* Windows a run may look for; the host is the preview's parent or the
 * settings' owner. */
#define FIND_CHILD 0       /* a direct child of the host */
#define FIND_OWNED 1       /* a top-level window owned by the host */
#define FIND_TOPLEVEL 2    /* any visible top-level window of the saver */
#define FIND_ERROR_BOX 3   /* a visible dialog of any process of the run */
#define FIND_COVERING 4    /* a visible top-level window of the saver over the primary screen */

/* "<path> <switchText> <host>", or without the handle when host is NULL.
 * 1 when started; 0 when the saver could not be started (GetLastError). */
int StartSaverRun(SaverRun *run, const char *path, const char *switchText, HWND host);

/* Waits (pumping) for a window of that kind; NULL when none appeared in
 * timeoutMs or the saver ended first. */
HWND WaitForSaverWindow(SaverRun *run, int kind, HWND host, DWORD timeoutMs);
HWND FindSaverWindow(const SaverRun *run, int kind, HWND host);

/* Waits (pumping) for the saver to end; 1 when it did, with exitCode set. */
int WaitSaverEnd(SaverRun *run, DWORD timeoutMs);

/* 1 when the saver ended with an exception's code (0xC0000094 ...). */
int EndedByException(const SaverRun *run);

/* Ends the saver if it still runs, counts the job's processes left
 * running into orphans, then closes the job, which ends them. */
void EndSaverRun(SaverRun *run);

#endif
