// Stand-in for the screen-saver library (<scrnsave.h>) on toolchains whose
// libscrnsave.a ships without code (Debian's mingw-w64 packages do). Built
// only when linking against the real library fails; provides WinMain and
// DefScreenSaverProc with the usual conventions:
//   /s           full screen, ends on keyboard or mouse input
//   /p <hwnd>    child window filling the parent's client area
//   /c <hwnd>    settings dialog owned by <hwnd>; no switch means /c unowned
// The line is read from GetCommandLineA, as savers must: lpCmdLine differs
// between runtimes in how it treats the program name.
#include <windows.h>
#include <scrnsave.h>
#include <stdlib.h>

#include "savers/saver_args.h"

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

namespace {

const char kClassName[] = "WindowsScreenSaverClass";
const int kMouseSlack = 4;  // pixels the mouse may jitter before we quit
POINT g_startCursor;
bool g_closing = false;

// Hosts of a preview may vanish before we start, and /c handles may be stale.
HWND LiveWindow(HWND h) { return h && IsWindow(h) ? h : NULL; }

bool MovedFarEnough() {
    POINT pt;
    GetCursorPos(&pt);
    return abs(pt.x - g_startCursor.x) > kMouseSlack || abs(pt.y - g_startCursor.y) > kMouseSlack;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) GetCursorPos(&g_startCursor);
    LRESULT r = ScreenSaverProc(hwnd, msg, wp, lp);
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return r;
}

bool RegisterFrameClass(HINSTANCE inst) {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = inst;
    wc.hIcon = LoadIcon(inst, MAKEINTRESOURCE(ID_APP));
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
}

int RunSaver(HINSTANCE inst, HWND parent) {
    if (!RegisterFrameClass(inst) || !RegisterDialogClasses(inst)) return 1;
    fChildPreview = parent != NULL;
    RECT rc;
    DWORD style = WS_CHILD | WS_VISIBLE, exStyle = 0;
    if (parent) {
        GetClientRect(parent, &rc);
    } else {
        // Cover every monitor, not just the primary one.
        SetRect(&rc, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
        rc.right += rc.left;
        rc.bottom += rc.top;
        style = WS_POPUP | WS_VISIBLE;
        exStyle = WS_EX_TOPMOST;
    }
    hMainWindow = CreateWindowExA(exStyle, kClassName, "Screen Saver", style, rc.left, rc.top,
                                  rc.right - rc.left, rc.bottom - rc.top, parent, NULL, inst, NULL);
    if (!hMainWindow) return 1;
    // Keystrokes only reach the foreground window; a saver started by a
    // (foreground) host is allowed to take it.
    if (!parent) SetForegroundWindow(hMainWindow);
    MSG msg = {};
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int RunConfig(HINSTANCE inst, HWND owner) {
    RegisterDialogClasses(inst);
    // The configure procedure is declared returning BOOL, as the library has
    // always declared it; DLGPROC wants INT_PTR, hence the cast.
    return (int)DialogBoxParamA(inst, MAKEINTRESOURCEA(DLG_SCRNSAVECONFIGURE), owner,
                                (DLGPROC)(void *)ScreenSaverConfigureDialog, 0);
}

}  // namespace

extern "C" LRESULT WINAPI DefScreenSaverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // A preview is closed by its host, never by input.
    if (fChildPreview || g_closing) return DefWindowProcA(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_SETCURSOR:
        SetCursor(NULL);
        return TRUE;
    case WM_MOUSEMOVE:
        // Windows sends a WM_MOUSEMOVE when a window appears under a resting
        // cursor, so only real movement may end the saver.
        if (!MovedFarEnough()) break;
        // fall through
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case WM_ACTIVATEAPP:
        if (!wp) PostMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case WM_SYSCOMMAND:
        // The system may ask for a saver while we are the saver.
        if ((wp & 0xFFF0) == SC_SCREENSAVE) return 0;
        break;
    case WM_CLOSE:
        g_closing = true;
        DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

extern "C" void WINAPI ScreenSaverChangePassword(HWND) {
    // Saver passwords only ever existed on Windows 9x; nothing to do.
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
    SaverArgs args;

    hMainInstance = inst;
    LoadString(inst, idsAppName, szAppName, APPNAMEBUFFERLEN);
    LoadString(inst, IDS_DESCRIPTION, szName, TITLEBARNAMELEN);
    // An unknown switch (such as the old /a for a password) has nothing to do.
    if (ParseSaverCommand(GetCommandLineA(), &args) != 1)
        return 0;
    if (args.mode == 's')
        return RunSaver(inst, NULL);
    // Without a live host there is nothing to draw into.
    if (args.mode == 'p')
        return LiveWindow(args.window) ? RunSaver(inst, args.window) : 0;
    return RunConfig(inst, LiveWindow(args.window));
}
