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

void RestartPreview(void)
{
    ViewerState *state = GetState();

    if (state->playState == PLAY_PREVIEW)
        StopPreview();
    Sleep(RESTART_PAUSE_MS);
    if (StartPreview() != 1)
        return;
    SetPreviewTitle();
    state->playState = PLAY_PREVIEW;
    EnablePreviewCommands(MF_ENABLED);
}

void FollowWindowSize(void)
{
    ViewerState *state = GetState();

    /* The modal child holds processInfo; the start after the run reads
     * the window's size at that moment. */
    if (state->modalRun == 1)
        return;

    switch (state->playState) {
    case PLAY_PREVIEW:
        StopPreview();
        Sleep(RESTART_PAUSE_MS);
        [[fallthrough]];    /* and start as from PLAY_READY */
    case PLAY_READY:
        if (StartPreview() == 1) {
            SetPreviewTitle();
            state->playState = PLAY_PREVIEW;
        }
        break;
    default:
        SetBareTitle();
        break;
    }
}
