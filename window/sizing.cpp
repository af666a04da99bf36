#include "sizing.h"

#include "app/state.h"
#include "res/resource.h"

/* Lets the menu that chose the command finish closing before the menu
 * bar is taken off the window. */
#define MENU_REMOVAL_PAUSE_MS 100

void CenterWindow(HWND window)
{
    HWND parent = GetParent(window);
    RECT area;
    RECT rect;

    if (parent != NULL)
        GetClientRect(parent, &area);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(window, &rect);

    /* Signed division truncates toward zero: a window 3 pixels wider than
     * the area lands at -1, not -2. */
    int x = area.left + (area.right - area.left - (rect.right - rect.left)) / 2;
    int y = area.top + (area.bottom - area.top - (rect.bottom - rect.top)) / 2;
    SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
}

void PlaceMainWindow(HWND window)
{
    ViewerState *state = GetState();
    RECT created;

    if (state->windowHeight <= 0 || state->windowWidth <= 0) {
        CenterWindow(window);
        return;
    }
    GetWindowRect(window, &created);
    SetWindowPos(window, HWND_TOP, state->windowX, state->windowY, state->windowWidth,
                 state->windowHeight, SWP_SHOWWINDOW);

    /* An unchanged size brings no WM_SIZE, but the first preview starts
     * from one: send it. */
    if (created.right - created.left == state->windowWidth &&
        created.bottom - created.top == state->windowHeight)
        SendMessageA(window, WM_SIZE, 0, 0);
}

static void SetTopmost(int topmost)
{
    ViewerState *state = GetState();

    CheckMenuItem(state->mainMenu, IDM_TOPMOST, MF_BYCOMMAND | (topmost ? MF_CHECKED : MF_UNCHECKED));
    SetWindowPos(state->mainWindow, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

/* Only exactly 1 counts as on; the value itself stays as loaded. */
void ApplyAlwaysOnTop(void)
{
    SetTopmost(GetState()->alwaysOnTop == 1);
}

void ToggleAlwaysOnTop(void)
{
    ViewerState *state = GetState();
    int topmost = state->alwaysOnTop != 1;

    SetTopmost(topmost);
    state->alwaysOnTop = topmost;
}

static void SetFrameBits(HWND window)
{
    LONG style = GetWindowLongA(window, GWL_STYLE);

    SetWindowLongA(window, GWL_STYLE, style | FRAME_STYLE_BITS);
}

/* The flag changes before the window does: the WM_SIZE handlers that run
 * inside SetMenu and MoveWindow must already see the framed mode. */
static void LeaveFullScreenWindow(HWND window)
{
    ViewerState *state = GetState();

    state->fullScreenWindow = 0;
    SetMenu(window, state->mainMenu);
}

void ApplySizePreset(int width, int height)
{
    ViewerState *state = GetState();

    if (state->fullScreenWindow == 1)
        LeaveFullScreenWindow(state->mainWindow);
    else
        GetWindowRect(state->mainWindow, &state->savedWindowRect);
    SetFrameBits(state->mainWindow);
    MoveWindow(state->mainWindow, state->savedWindowRect.left, state->savedWindowRect.top, width,
               height, TRUE);
}

static void QueryDisplayMode(int *width, int *height)
{
    HDC screen = GetDC(NULL);

    *width = GetDeviceCaps(screen, HORZRES);
    *height = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(NULL, screen);
}

void EnterFullScreenWindow(HWND window)
{
    LONG style;
    int width;
    int height;

    GetWindowRect(window, &GetState()->savedWindowRect);
    Sleep(MENU_REMOVAL_PAUSE_MS);
    SetMenu(window, NULL);
    style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, style & ~FRAME_STYLE_BITS);
    QueryDisplayMode(&width, &height);
    SetWindowPos(window, HWND_TOP, 0, 0, width, height, SWP_SHOWWINDOW);
}

void RestoreWindowSize(HWND window)
{
    ViewerState *state = GetState();
    RECT saved;

    if (state->fullScreenWindow == 1)
        LeaveFullScreenWindow(window);
    saved = state->savedWindowRect;
    SetFrameBits(window);
    MoveWindow(window, saved.left, saved.top, saved.right - saved.left, saved.bottom - saved.top,
               TRUE);
}
