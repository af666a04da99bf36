/* Stand-in for the screen-saver library (<scrnsave.h>) on toolchains whose
 * libscrnsave.a ships without code (Debian's mingw-w64 packages do). Built
 * only when linking against the real library fails; provides WinMain and
 * DefScreenSaverProc with the usual conventions:
 *   /s           full screen, ends on keyboard or mouse input
 *   /p <hwnd>    child window filling the parent's client area
 *   /c <hwnd>    settings dialog owned by <hwnd>; no switch means /c unowned
 * The line is read from GetCommandLineA, as savers must: lpCmdLine differs
 * between runtimes in how it treats the program name. */
#include <windows.h>
#include <scrnsave.h>
#include <stdlib.h>

#include "savers/saver_args.h"

/* The library's globals: <scrnsave.h> fixes their names. */
extern "C" {
HINSTANCE hMainInstance;
HWND hMainWindow;
WINBOOL fChildPreview;
TCHAR szName[TITLEBARNAMELEN];
TCHAR szAppName[APPNAMEBUFFERLEN];
TCHAR szIniFile[MAXFILELEN];
TCHAR szScreenSaver[22];
TCHAR szHelpFile[MAXFILELEN];
TCHAR szNoHelpMemory[BUFFLEN];
UINT MyHelpMessage;
}

static const char FRAME_CLASS_NAME[] = "WindowsScreenSaverClass";
#define MOUSE_SLACK 4   /* pixels the mouse may jitter before the saver ends */

static POINT startCursor;
static int closing;

/* A preview's host may be gone before the saver starts, and a /c handle
 * may be stale. */
static HWND LiveWindow(HWND window)
{
    return window != NULL && IsWindow(window) ? window : NULL;
}

/* The cursor's place as the window appears is what input must move beyond;
 * the program ends with its window. */
static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        GetCursorPos(&startCursor);
    LRESULT result = ScreenSaverProc(window, message, wParam, lParam);
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return result;
}

static int RegisterFrameClass(HINSTANCE instance)
{
    WNDCLASSA frameClass = {};

    frameClass.style = CS_HREDRAW | CS_VREDRAW;
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ID_APP));
    frameClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    frameClass.lpszClassName = FRAME_CLASS_NAME;
    return RegisterClassA(&frameClass) != 0;
}

/* A preview fills its parent's client area; the full screen covers every
 * monitor, not only the primary one. */
static void SaverWindowRect(HWND parent, RECT *rect)
{
    if (parent != NULL) {
        GetClientRect(parent, rect);
        return;
    }
    SetRect(rect, 0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    OffsetRect(rect, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN));
}

static int RunSaver(HINSTANCE instance, HWND parent)
{
    DWORD style = parent != NULL ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
    DWORD exStyle = parent != NULL ? 0 : WS_EX_TOPMOST;
    RECT rect = {};
    MSG message = {};

    if (RegisterFrameClass(instance) != 1 || RegisterDialogClasses(instance) == FALSE)
        return 1;
    fChildPreview = parent != NULL;
    SaverWindowRect(parent, &rect);
    hMainWindow = CreateWindowExA(exStyle, FRAME_CLASS_NAME, "Screen Saver", style, rect.left,
                                  rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  NULL, instance, NULL);
    if (hMainWindow == NULL)
        return 1;
    /* Keystrokes reach only the foreground window; a saver started by a
     * (foreground) host is allowed to take it. */
    if (parent == NULL)
        SetForegroundWindow(hMainWindow);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}

/* The configure procedure is declared returning BOOL, as the library has
 * always declared it; DLGPROC wants INT_PTR, hence the cast. */
static int RunSettings(HINSTANCE instance, HWND owner)
{
    RegisterDialogClasses(instance);
    return (int)DialogBoxParamA(instance, MAKEINTRESOURCEA(DLG_SCRNSAVECONFIGURE), owner,
                                (DLGPROC)(void *)ScreenSaverConfigureDialog, 0);
}

/* Windows sends a WM_MOUSEMOVE when a window appears under a resting
 * cursor, so only real movement may end the saver. */
static void OnMouseMove(HWND window)
{
    POINT cursor;

    GetCursorPos(&cursor);
    if (abs(cursor.x - startCursor.x) > MOUSE_SLACK || abs(cursor.y - startCursor.y) > MOUSE_SLACK)
        PostMessageA(window, WM_CLOSE, 0, 0);
}

static void OnActivateApp(HWND window, WPARAM active)
{
    if (active == FALSE)
        PostMessageA(window, WM_CLOSE, 0, 0);
}

/* The system may ask for a saver while this one runs; the low four bits of
 * the command are the system's own. */
static LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    if ((wParam & 0xFFF0) == SC_SCREENSAVE)
        return 0;
    return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

/* The window's last messages, its deactivation among them, must not post
 * another close. */
static void OnClose(HWND window)
{
    closing = 1;
    DestroyWindow(window);
}

/* A preview is closed by its host, never by input. */
extern "C" LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (fChildPreview || closing == 1)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_SETCURSOR:      SetCursor(NULL); return TRUE;
    case WM_MOUSEMOVE:      OnMouseMove(window); break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:     PostMessageA(window, WM_CLOSE, 0, 0); break;
    case WM_ACTIVATEAPP:    OnActivateApp(window, wParam); break;
    case WM_SYSCOMMAND:     return OnSysCommand(window, wParam, lParam);
    case WM_CLOSE:          OnClose(window); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

/* Saver passwords only ever existed on Windows 9x: nothing to change. */
extern "C" void WINAPI ScreenSaverChangePassword(HWND)
{
}

/* An unknown switch (such as the old /a for a password) has nothing to do,
 * nor has a preview without a live host to draw into. */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SaverArgs args;

    hMainInstance = instance;
    LoadStringA(instance, idsAppName, szAppName, APPNAMEBUFFERLEN);
    LoadStringA(instance, IDS_DESCRIPTION, szName, TITLEBARNAMELEN);
    if (ParseSaverCommand(GetCommandLineA(), &args) != 1)
        return 0;
    if (args.mode == 's')
        return RunSaver(instance, NULL);
    if (args.mode == 'p')
        return LiveWindow(args.window) != NULL ? RunSaver(instance, args.window) : 0;
    return RunSettings(instance, LiveWindow(args.window));
}
