#include "modal.h"

#include "app/state.h"
#include "host/saver_process.h"

/* How often a run whose first process has ended is looked at. */
#define RUN_POLL_MS 50

void EndModalRun(void)
{
    ViewerState *state = GetState();

    if (state->modalRun != 1)
        return;
    state->modalRun = 0;
    EndHeldSaver(0);
}

/* Dispatches what is queued. 0 when the loop must end: WM_QUIT was taken
 * (and is posted again, so that the main loop ends too), or a handler
 * ended the child. */
static int DispatchQueued(void)
{
    ViewerState *state = GetState();
    MSG message;

    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage((int)message.wParam);
            return 0;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (state->modalRun != 1)
            return 0;
    }
    return 1;
}

/* Waits on the child and the message queue together, so the run ends as
 * soon as the child does, and no message is taken without being handled.
 * MWMO_INPUTAVAILABLE also wakes for messages that a handler has already
 * seen but left in the queue. A child that has ended may have left the
 * real saver or a helper running in its run, which no handle signals:
 * from then on the run is looked at every RUN_POLL_MS. */
static void WaitForModalRun(void)
{
    ViewerState *state = GetState();
    DWORD exitCode;

    for (;;) {
        HANDLE process = state->processInfo.hProcess;
        DWORD count = WaitForSingleObject(process, 0) == WAIT_OBJECT_0 ? 0 : 1;
        if (count == 0 && HeldRunHasEnded(&exitCode) == 1)
            return;
        DWORD woken = MsgWaitForMultipleObjectsEx(count, &process, count == 0 ? RUN_POLL_MS : INFINITE,
                                                  QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_FAILED)
            return;
        if (woken == WAIT_OBJECT_0 + count && DispatchQueued() != 1)
            return;
    }
}

static int RunModal(const char *switchText, HWND parent)
{
    ViewerState *state = GetState();

    if (LaunchSaver(switchText, parent) != 1)
        return 0;
    state->modalRun = 1;
    WaitForModalRun();
    EndModalRun();
    return 1;
}

int RunSaverSettings(void)
{
    return RunModal("/c", GetState()->mainWindow);
}

int RunSaverFullScreen(void)
{
    return RunModal("/S", NULL);
}
