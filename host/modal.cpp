#include "modal.h"

#include "app/state.h"
#include "host/saver_process.h"

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
 * seen but left in the queue. */
static void WaitForModalChild(void)
{
    ViewerState *state = GetState();

    for (;;) {
        HANDLE process = state->processInfo.hProcess;
        DWORD woken = MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT,
                                                  MWMO_INPUTAVAILABLE);
        if (woken != WAIT_OBJECT_0 + 1)
            return;
        if (DispatchQueued() != 1)
            return;
    }
}

static int RunModal(const char *switchText, HWND parent)
{
    ViewerState *state = GetState();

    if (LaunchSaver(switchText, parent) != 1)
        return 0;
    state->modalRun = 1;
    WaitForModalChild();
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
