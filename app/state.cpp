#include "state.h"

#include <string.h>

#include "host/preview.h"
#include "settings/settings.h"

static ViewerState viewerState;
RECT savedWindowRect;

ViewerState *GetState(void)
{
    return &viewerState;
}

void InitState(HWND window)
{
    ViewerState *state = GetState();

    memset(state, 0, sizeof(*state));
    state->mainWindow = window;
    state->instance = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
    ResetStartupInfo();
    LoadSettings();
    state->playState = PLAY_READY;
}
