#include "sizing.h"

#include "app/state.h"
#include "res/resource.h"
#include "window/preview_control.h"

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

    /* The settings file's place was judged as it was read: one the user
     * could not reach came as none. */
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

/* Framed again at this place and size. SWP_FRAMECHANGED, because a new
 * style takes effect only when the frame is recalculated, which an
 * unchanged rectangle alone does not cause. */
static void MoveFramed(HWND window, int left, int top, int width, int height)
{
    LONG style = GetWindowLongA(window, GWL_STYLE);

    SetWindowLongA(window, GWL_STYLE, style | FRAME_STYLE_BITS);
    SetWindowPos(window, NULL, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

/* The flag changes before the window does: the WM_SIZE handlers that run
 * inside SetMenu and MoveWindow must already see the framed mode. */
static void LeaveFullScreenWindow(HWND window)
{
    ViewerState *state = GetState();

    state->fullScreenWindow = 0;
    SetMenu(window, state->mainMenu);
}

/* Leaving the full-screen window changes the client area twice (the menu
 * bar comes back, then the window moves): one restart for both. */
void ApplySizePreset(int width, int height)
{
    ViewerState *state = GetState();

    HoldPreviewRestarts();
    if (state->fullScreenWindow == 1)
        LeaveFullScreenWindow(state->mainWindow);
    else
        GetWindowRect(state->mainWindow, &state->savedWindowRect);
    MoveFramed(state->mainWindow, state->savedWindowRect.left, state->savedWindowRect.top, width, height);
    ReleasePreviewRestarts();
}

/* The whole rectangle (not the work area) of the monitor the window is
 * most on: with two monitors, the one the user is looking at. */
static void QueryMonitorRect(HWND window, RECT *rect)
{
    MONITORINFO monitor;

    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        *rect = monitor.rcMonitor;
    else
        SetRect(rect, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

/* The menu bar goes, then the window takes the monitor: two changes of
 * the client area, one restart. */
void EnterFullScreenWindow(HWND window)
{
    LONG style;
    RECT monitor;

    HoldPreviewRestarts();
    GetWindowRect(window, &GetState()->savedWindowRect);
    QueryMonitorRect(window, &monitor);
    Sleep(MENU_REMOVAL_PAUSE_MS);
    SetMenu(window, NULL);
    style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, style & ~FRAME_STYLE_BITS);
    /* SWP_FRAMECHANGED: a window already at the monitor's rectangle would
     * otherwise keep its frame. */
    SetWindowPos(window, HWND_TOP, monitor.left, monitor.top, monitor.right - monitor.left,
                 monitor.bottom - monitor.top, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    ReleasePreviewRestarts();
}

void RestoreWindowSize(HWND window)
{
    ViewerState *state = GetState();
    RECT saved;

    HoldPreviewRestarts();
    if (state->fullScreenWindow == 1)
        LeaveFullScreenWindow(window);
    saved = state->savedWindowRect;
    MoveFramed(window, saved.left, saved.top, saved.right - saved.left, saved.bottom - saved.top);
    ReleasePreviewRestarts();
}
