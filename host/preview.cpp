#include "preview.h"

#include "app/state.h"
#include "host/close_windows.h"
#include "host/saver_process.h"

/* A preview that crashes is reported in the viewer's own window, so the
 * platform's crash dialog is not wanted for it. A child takes the error
 * mode that its parent has at the moment it is created. */
int StartPreview(void)
{
    UINT errorMode;
    DWORD error;
    int started;

    /* The reset clears processInfo: never over a child still held. */
    if (GetState()->processInfo.hProcess != NULL)
        return 0;
    ResetStartupInfo();
    errorMode = SetErrorMode(0);
    SetErrorMode(errorMode | SEM_NOGPFAULTERRORBOX);
    started = LaunchSaver("/p", GetState()->mainWindow);
    error = GetLastError();
    SetErrorMode(errorMode);
    SetLastError(error);
    return started;
}

/* The sends to the saver's windows let the viewer's thread take messages
 * sent from other threads, so a handler can run during them that ends this
 * very child, or ends it and starts another: the child is ended only if it
 * is still the one this stop began with. */
void StopPreview(void)
{
    ViewerState *state = GetState();
    unsigned int child = state->childStarts;

    if (state->processInfo.hProcess == NULL)
        return;
    CloseChildWindows(state->mainWindow);
    if (state->processInfo.hProcess == NULL || state->childStarts != child)
        return;
    EndHeldSaver(STOP_GRACE_MS);
}
