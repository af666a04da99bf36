#include "state.h"

#include <string.h>

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
    state->startupInfo.cb = sizeof(state->startupInfo);
    state->startupInfo.dwFlags = STARTF_USESHOWWINDOW;
    state->startupInfo.wShowWindow = SW_SHOWNORMAL;
    LoadSettings();
    state->playState = PLAY_READY;
}
