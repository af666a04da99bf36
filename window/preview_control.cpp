#include "preview_control.h"

#include <stdio.h>

#include "app/state.h"
#include "host/preview.h"
#include "host/saver_process.h"
#include "res/resource.h"
#include "res/version.h"
#include "window/saver_notice.h"

/* Often enough that a saver's end shows within half a second; the wait on
 * the process takes no time. */
#define WATCH_INTERVAL_MS 250

void SetBareTitle(void)
{
    SetWindowTextA(GetState()->mainWindow, NOVRA_TITLE);
}

static void SetPreviewTitle(void)
{
    ViewerState *state = GetState();
    char title[sizeof(NOVRA_TITLE) + PATH_BUFFER + 4];

    snprintf(title, sizeof(title), "%s [%s]", NOVRA_TITLE, state->currentSaver);
    SetWindowTextA(state->mainWindow, title);
}

void EnablePreviewCommands(UINT flag)
{
    HMENU menu = GetState()->mainMenu;

    EnableMenuItem(menu, IDM_START_SAVER, MF_BYCOMMAND | flag);
    EnableMenuItem(menu, IDM_RESET, MF_BYCOMMAND | flag);
    EnableMenuItem(menu, IDM_STOP, MF_BYCOMMAND | flag);
    EnableMenuItem(menu, IDM_SAVER_SETTINGS, MF_BYCOMMAND | flag);
}

void StopPreviewAndWatch(void)
{
    KillTimer(GetState()->mainWindow, WATCH_TIMER_ID);
    StopPreview();
}

int StopBeforeNextStart(void)
{
    ViewerState *state = GetState();

    if (state->playState == PLAY_PREVIEW)
        StopPreviewAndWatch();
    if (!IsWindow(state->mainWindow))
        return 0;
    return state->processInfo.hProcess == NULL;
}

/* A minimised window, or one sized to no height or width, has nowhere to
 * show a saver. */
static int ClientAreaIsEmpty(void)
{
    HWND window = GetState()->mainWindow;
    RECT client;

    if (IsIconic(window) || !GetClientRect(window, &client))
        return 1;
    return client.right <= 0 || client.bottom <= 0;
}

/* Savers divide by their window's size, so none is started into an empty
 * client area; the start is held over instead, in the state of a started
 * preview, and the next WM_SIZE that brings room makes it. */
int StartPreviewStep(void)
{
    ViewerState *state = GetState();

    ClearSaverNotice();
    if (state->currentSaver[0] != '\0' && ClientAreaIsEmpty() == 1) {
        state->playState = PLAY_PREVIEW;
        SetPreviewTitle();
        return 1;
    }
    if (StartPreview() != 1) {
        DWORD error = GetLastError();
        /* Nothing runs, so no saver is named; with no saver chosen there is
         * nothing to explain either. */
        SetBareTitle();
        if (state->currentSaver[0] != '\0')
            NoteStartFailure(error);
        return 0;
    }
    state->playState = PLAY_PREVIEW;
    SetPreviewTitle();
    SetTimer(state->mainWindow, WATCH_TIMER_ID, WATCH_INTERVAL_MS, NULL);
    return 1;
}

void RestartPreview(void)
{
    if (StopBeforeNextStart() != 1)
        return;
    /* The start step would only hold it over: no pause for that. */
    if (ClientAreaIsEmpty() != 1)
        Sleep(RESTART_PAUSE_MS);
    if (StartPreviewStep() == 1)
        EnablePreviewCommands(MF_ENABLED);
}

static void RestartForWindowSize(void)
{
    ViewerState *state = GetState();

    /* The modal child holds processInfo; the start after the run reads
     * the window's size at that moment. */
    if (state->modalRun == 1)
        return;
    if (state->playState == PLAY_STOPPED) {
        SetBareTitle();
        return;
    }
    if (state->playState == PLAY_PREVIEW) {
        if (StopBeforeNextStart() != 1)
            return;
        /* The start step would only hold it over: no pause for that. */
        if (ClientAreaIsEmpty() == 1)
            return;
        Sleep(RESTART_PAUSE_MS);
    }
    StartPreviewStep();
}

void FollowWindowSize(void)
{
    ViewerState *state = GetState();

    if (state->restartsHeld > 0)
        state->restartDue = 1;
    else
        RestartForWindowSize();
}

void HoldPreviewRestarts(void)
{
    ViewerState *state = GetState();

    if (state->restartsHeld == 0)
        state->restartDue = 0;
    state->restartsHeld++;
}

void ReleasePreviewRestarts(void)
{
    ViewerState *state = GetState();

    if (state->restartsHeld > 0)
        state->restartsHeld--;
    if (state->restartsHeld == 0 && state->restartDue == 1) {
        state->restartDue = 0;
        RestartForWindowSize();
    }
}

/* Looked at without waiting: the viewer has no thread to wait with. The
 * run stays held, so Reset, a resize or a new saver start it again. The
 * preview is over when the run's last process has ended: a saver that
 * only launched the real one is still showing it. */
void CheckPreviewEnded(void)
{
    ViewerState *state = GetState();
    DWORD exitCode;

    if (state->processInfo.hProcess == NULL) {
        KillTimer(state->mainWindow, WATCH_TIMER_ID);
        return;
    }
    if (HeldRunHasEnded(&exitCode) != 1)
        return;
    KillTimer(state->mainWindow, WATCH_TIMER_ID);
    NoteSaverEnd(exitCode);
}
