#include "preview.h"

#include "app/state.h"
#include "host/close_windows.h"
#include "host/saver_process.h"

int StartPreview(void)
{
    /* The reset clears processInfo: never over a child still held. */
    if (GetState()->processInfo.hProcess != NULL)
        return 0;
    ResetStartupInfo();
    return LaunchSaver("/p", GetState()->mainWindow);
}

/* The sends to the saver's windows let the viewer's thread take messages
 * sent from other threads, so a WM_CLOSE of the main window can run, and
 * end this very child, before they return: the child is ended only if it
 * is still the one this stop began with. */
void StopPreview(void)
{
    ViewerState *state = GetState();
    DWORD child = state->processInfo.dwProcessId;

    if (state->processInfo.hProcess == NULL)
        return;
    CloseChildWindows(state->mainWindow);
    if (state->processInfo.hProcess == NULL || state->processInfo.dwProcessId != child)
        return;
    EndSaver(STOP_GRACE_MS);
}
