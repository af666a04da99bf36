/* One run of the saver under test: started through the viewer's launcher
 * into a kill-on-close job of its own and without the checker's standard
 * handles, its windows looked up, its end awaited with the host kept
 * answering, a crash handler the platform started for it answered, and
 * everything it left ended. */
#ifndef NOVRA_CHECK_SAVER_RUN_H
#define NOVRA_CHECK_SAVER_RUN_H

#include "host/launcher.h"

struct SaverRun {
    PROCESS_INFORMATION process;
    HANDLE job;
    DWORD startTick;
    DWORD startError;  /* why the start failed, read where it failed */
    DWORD exitCode;    /* STILL_ACTIVE until the saver ended */
    DWORD orphans;     /* processes of the job left running after the saver */
    int watched;       /* 1 when the saver is in the job, so its processes are seen */
    int heldByHandler; /* 1 when a crash handler of the platform held the saver */
};

/* Windows a run may look for; the host is the preview's parent or the
 * settings' owner. */
enum WindowKind {
    WINDOW_CHILD,      /* a direct child of the host */
    WINDOW_OWNED,      /* a top-level window of the saver owned by the host */
    WINDOW_TOPLEVEL,   /* any visible top-level window of the saver */
    WINDOW_ERROR_BOX,  /* a visible dialog box of the saver */
    WINDOW_COVERING,   /* a visible top-level window of the saver over the primary monitor */
    WINDOW_HANDLER_BOX /* a visible dialog box of another process of the run */
};

/* "<path> <switchText> <host>", or without the handle when host is NULL.
 * 1 when started; 0 when the saver could not be started (startError). */
int StartSaverRun(SaverRun *run, const char *path, const char *switchText, HWND host);

/* Waits (pumping) for a window of that kind; NULL when none appeared in
 * timeoutMs or the saver ended first. */
HWND WaitForSaverWindow(SaverRun *run, WindowKind kind, HWND host, DWORD timeoutMs);
HWND FindSaverWindow(const SaverRun *run, WindowKind kind, HWND host);

/* Waits (pumping) for the saver to end; 1 when it did, with exitCode set. */
int WaitSaverEnd(SaverRun *run, DWORD timeoutMs);

/* Ends the saver if it still runs, counts the job's processes that still
 * run a short grace later into orphans (none after a crash: those are the
 * platform's crash handling), then closes the job, which ends them. */
void EndSaverRun(SaverRun *run);

#endif
