#include "init.h"

#include <string.h>

#include "app/state.h"
#include "host/saver_process.h"
#include "settings/settings.h"

void InitState(HWND window)
{
    ViewerState *state = GetState();
    RECT saved = state->savedWindowRect;

    memset(state, 0, sizeof(*state));
    state->savedWindowRect = saved;
    state->mainWindow = window;
    state->instance = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
    ResetStartupInfo();
    LoadSettings();
    state->playState = PLAY_READY;
}
