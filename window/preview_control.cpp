#include "preview_control.h"

#include <stdio.h>

#include "app/state.h"
#include "host/preview.h"
#include "res/resource.h"
#include "res/version.h"

void SetBareTitle(void)
{
    SetWindowTextA(GetState()->mainWindow, NOVRA_TITLE);
}

void SetPreviewTitle(void)
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

int StopPreviewForRestart(void)
{
    ViewerState *state = GetState();

    if (state->playState == PLAY_PREVIEW)
        StopPreview();
    if (!IsWindow(state->mainWindow))
        return 0;
    return state->processInfo.hProcess == NULL;
}

int StartPreviewRecorded(void)
{
    if (StartPreview() != 1)
        return 0;
    GetState()->playState = PLAY_PREVIEW;
    return 1;
}

void RestartPreview(void)
{
    if (StopPreviewForRestart() != 1)
        return;
    Sleep(RESTART_PAUSE_MS);
    if (StartPreviewRecorded() != 1)
        return;
    SetPreviewTitle();
    EnablePreviewCommands(MF_ENABLED);
}

/* A minimised window, or one sized to no height or width, has nowhere to
 * show a saver, and savers divide by their window's size. */
static int ClientAreaIsEmpty(void)
{
    HWND window = GetState()->mainWindow;
    RECT client;

    if (IsIconic(window) || !GetClientRect(window, &client))
        return 1;
    return client.right <= 0 || client.bottom <= 0;
}

/* The saver is stopped for an empty client area too, but started again
 * only once the area has a size; title and state stay meanwhile. */
void FollowWindowSize(void)
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
        if (StopPreviewForRestart() != 1 || ClientAreaIsEmpty() == 1)
            return;
        Sleep(RESTART_PAUSE_MS);
    } else if (ClientAreaIsEmpty() == 1) {
        return;
    }
    if (StartPreviewRecorded() == 1)
        SetPreviewTitle();
}
