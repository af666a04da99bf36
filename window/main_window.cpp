#include "main_window.h"

#include "app/init.h"
#include "app/state.h"
#include "host/modal.h"
#include "res/resource.h"
#include "settings/recent.h"
#include "settings/recent_menu.h"
#include "settings/settings.h"
#include "window/commands.h"
#include "window/operation_menu.h"
#include "window/preview_control.h"
#include "window/saver_notice.h"
#include "window/sizing.h"

/* PlaceMainWindow may send WM_SIZE, which starts the first preview before
 * linkCursor is set; the size handling does not need it. A saver named on
 * the command line comes with the creation and is taken before that, as a
 * dropped one: the first preview is its own, not a restart. */
static void OnCreate(HWND window, const CREATESTRUCTA *creation)
{
    ViewerState *state;

    InitState(window);
    if (creation->lpCreateParams != NULL)
        AddRecent((const char *)creation->lpCreateParams);
    state = GetState();
    state->mainMenu = GetMenu(window);
    RebuildRecentMenu();
    PlaceMainWindow(window);
    state->linkCursor = LoadCursorA(state->instance, MAKEINTRESOURCEA(IDC_LINK_CURSOR));
    ApplyAlwaysOnTop();
    EnablePreviewCommands(MF_ENABLED);
    DragAcceptFiles(window, TRUE);
}

/* While the user drags the frame, every move of the mouse resizes the
 * window; restarting the saver for each would stutter and spawn a process
 * per step. The restart is done once, when the drag ends. */
static void OnEnterSizeMove(void)
{
    HoldPreviewRestarts();
}

static void OnExitSizeMove(void)
{
    ReleasePreviewRestarts();
}

/* The settings are saved while the window still has its rectangle, and
 * the saver is ended before DestroyWindow: a hung saver's window would
 * block the destruction of its parent. */
static void OnClose(HWND window)
{
    ViewerState *state = GetState();

    SaveSettings();
    if (state->modalRun == 1)
        EndModalRun();
    else if (state->playState == PLAY_PREVIEW)
        StopPreviewAndWatch();
    DestroyWindow(window);
}

/* Windows ends the process once this returns: what WM_CLOSE would have
 * saved must be saved now. The savers end with the job. */
static void OnEndSession(WPARAM ending)
{
    if (ending)
        SaveSettings();
}

/* The class brush paints the background; the notice stands only where no
 * saver runs. */
static void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);

    if (GetState()->saverNotice[0] != '\0')
        PaintSaverNotice(window, dc);
    EndPaint(window, &paint);
}

static void OnTimer(WPARAM id)
{
    if (id == WATCH_TIMER_ID)
        CheckPreviewEnded();
}

/* The menu bar is off the window in full-screen-window mode, so the
 * window's destruction would not take it along. */
static void OnDestroy(void)
{
    ViewerState *state = GetState();

    if (state->fullScreenWindow == 1 && state->mainMenu != NULL)
        DestroyMenu(state->mainMenu);
    PostQuitMessage(0);
}

/* Where the menu opens: at the mouse position, also for F1 and the menu
 * key. The position cannot be read on a secure desktop; the menu then
 * opens at the middle of the client area. */
static POINT ContextMenuPoint(HWND window)
{
    POINT point;
    RECT client;

    if (GetCursorPos(&point))
        return point;
    GetClientRect(window, &client);
    point.x = client.right / 2;
    point.y = client.bottom / 2;
    ClientToScreen(window, &point);
    return point;
}

static void ShowContextMenu(HWND window)
{
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
    HMENU bar = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_CONTEXT_MENU));
    POINT cursor = ContextMenuPoint(window);

    if (bar == NULL)
        return;
    HMENU popup = GetSubMenu(bar, 0);
    if (GetState()->fullScreenWindow == 1)
        EnableMenuItem(popup, IDM_FULL_SCREEN, MF_BYCOMMAND | MF_GRAYED);
    else
        EnableMenuItem(popup, IDM_RESTORE_SIZE, MF_BYCOMMAND | MF_GRAYED);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0,
                   window, NULL);
    DestroyMenu(bar);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:         OnCreate(window, (const CREATESTRUCTA *)lParam); return 0;
    case WM_DESTROY:        OnDestroy(); return 0;
    case WM_SIZE:           FollowWindowSize(); return 0;
    case WM_ENTERSIZEMOVE:  OnEnterSizeMove(); return 0;
    case WM_EXITSIZEMOVE:   OnExitSizeMove(); return 0;
    case WM_CLOSE:          OnClose(window); return 0;
    case WM_ENDSESSION:     OnEndSession(wParam); return 0;
    case WM_PAINT:          OnPaint(window); return 0;
    case WM_TIMER:          OnTimer(wParam); return 0;
    case WM_HELP:
    case WM_CONTEXTMENU:    ShowContextMenu(window); return 0;
    case WM_INITMENUPOPUP:  UpdateMenuPopup((HMENU)wParam); return 0;
    case WM_COMMAND:        DispatchCommand(window, LOWORD(wParam)); return 0;
    case WM_DROPFILES:      OpenDroppedSaver((HDROP)wParam); return 0;
    default:                return DefWindowProcA(window, message, wParam, lParam);
    }
}
