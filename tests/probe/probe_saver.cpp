/* Probe saver: a stand-in screen saver for the tests. It appends "<tick> <pid>
 * <event>" lines, what it was started with and what its windows saw, to the log
 * NOVRA_PROBE_LOG names. PROBE_MODE picks a behaviour, in all windows and modes;
 * with NOVRA_PROBE_CRASH set, any probe crashes as it starts; other switches act
 * as some savers in the wild do. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "savers/saver_args.h"

enum { PROBE_NORMAL, PROBE_IGNORECLOSE, PROBE_HANGCLOSE, PROBE_EXITNOW, PROBE_CHILDREN,
       PROBE_TOPLEVEL, PROBE_DIVIDE, PROBE_ORPHAN, PROBE_LAUNCHER };
enum { PREVIEW_CODE = 7, RUN_CODE = 5, EXIT_NOW_CODE = 3, ORPHAN_SLEEP_MS = 60000, HOP_MS = 250,
       HOP_TAIL_MS = 100 };
#define ORPHAN_SWITCH " /orphan"  /* the left-behind child's private switch */

static int painted = 0;
static DWORD startTick;
static volatile int quotient;  /* volatile: the divisions may not be folded away */
static volatile int zero = 0;

/* One open, write and close per line: with FILE_APPEND_DATA each write lands
 * at the end, so probes and tests share one log without mixing inside a line. */
static void LogLine(const char *format, ...)
{
    const char *path = getenv("NOVRA_PROBE_LOG");
    HANDLE file = path == NULL ? INVALID_HANDLE_VALUE : CreateFileA(path, FILE_APPEND_DATA,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    char line[2048];
    int used = snprintf(line, sizeof(line) - 2, "%lu %lu ", GetTickCount(), GetCurrentProcessId());
    va_list list;
    DWORD written;

    if (file == INVALID_HANDLE_VALUE)
        return;
    va_start(list, format);
    vsnprintf(line + used, sizeof(line) - 2 - used, format, list);
    va_end(list);
    strcat(line, "\r\n");  /* room was kept for it: an over-long line is cut */
    WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
    CloseHandle(file);
}

static void OnClose(HWND window)
{
    LogLine(GetDlgCtrlID(window) != 0 ? "WM_CLOSE child %d" : "WM_CLOSE", GetDlgCtrlID(window));
    if (PROBE_MODE == PROBE_HANGCLOSE)
        Sleep(INFINITE);
    if (PROBE_MODE != PROBE_IGNORECLOSE)
        DestroyWindow(window);
}

static void OnPaint(void)
{
    if (painted == 0)
        LogLine("paint");
    painted = 1;
}

/* Only the probe's main window (id 0) ends it: a preview with 7, others with 5.
 * A settings window gives its owner back, as a dialog box does. */
static void OnDestroy(HWND window)
{
    if (GetWindow(window, GW_OWNER) != NULL)
        EnableWindow(GetWindow(window, GW_OWNER), TRUE);
    if (GetDlgCtrlID(window) == 0)
        PostQuitMessage((GetWindowLongA(window, GWL_STYLE) & WS_CHILD) != 0 ? PREVIEW_CODE : RUN_CODE);
}

/* A key ends the window. NOVRA_PROBE_MOUSE_PX: so does a mouse move farther
 * than that (across plus down) from where the first mouse message it takes
 * put the cursor. NOVRA_PROBE_DEAF_MS: it takes no input in its first that
 * many milliseconds, as savers that set up first. */
static void OnInput(HWND window, UINT message, LPARAM lParam)
{
    static LPARAM first = -1;
    const char *limit = getenv("NOVRA_PROBE_MOUSE_PX");
    const char *deafMs = getenv("NOVRA_PROBE_DEAF_MS");
    int moved;

    if (deafMs != NULL && GetTickCount() - startTick < (DWORD)atol(deafMs))
        return;
    if (first == -1 && message == WM_MOUSEMOVE)
        first = lParam;
    moved = abs((short)LOWORD(lParam) - (short)LOWORD(first)) + abs((short)HIWORD(lParam) - (short)HIWORD(first));
    if (message == WM_KEYDOWN || (limit != NULL && moved > atoi(limit)))
        DestroyWindow(window);
}

/* Keys reach only the full-screen window, which ends on one, as a saver should. */
static LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:      OnPaint(); break;
    case WM_TIMER:      DestroyWindow(window); return 0;
    case WM_MOUSEMOVE:  OnInput(window, message, lParam); break;
    case WM_KEYDOWN:    OnInput(window, message, lParam); return 0;
    case WM_CLOSE:      OnClose(window); return 0;
    case WM_DESTROY:    OnDestroy(window); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

/* `box` holds left, top, width and height. */
static HWND CreateProbeWindow(const char *name, DWORD exStyle, DWORD style, const RECT *box, HWND parent, int id)
{
    WNDCLASSA windowClass = {};

    windowClass.lpfnWndProc = ProbeProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hbrBackground = (HBRUSH)(INT_PTR)(COLOR_HIGHLIGHT + id + 1);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
    return CreateWindowExA(exStyle, name, "Probe", style | WS_VISIBLE, box->left, box->top, box->right,
                           box->bottom, parent, (HMENU)(INT_PTR)id, windowClass.hInstance, NULL);
}

/* Without a live parent GetClientRect fails: there is nowhere to draw. A
 * top-level popup given a parent handle is owned by it, not its child. With
 * NOVRA_PROBE_SIZE_MS the window is made empty and given its size that late. */
static HWND CreatePreview(HWND parent)
{
    DWORD style = PROBE_MODE == PROBE_TOPLEVEL ? WS_POPUP : WS_CHILD;
    const char *sizeMs = getenv("NOVRA_PROBE_SIZE_MS");
    RECT client;
    RECT none = {0, 0, 0, 0};
    HWND window;

    if (GetClientRect(parent, &client) == 0)
        return NULL;
    LogLine("client %ld %ld", client.right, client.bottom);
    if (PROBE_MODE == PROBE_DIVIDE)
        quotient = 1000 / client.right + 1000 / client.bottom;
    window = CreateProbeWindow("NovraProbe", 0, style, sizeMs != NULL ? &none : &client, parent, 0);
    if (window != NULL && sizeMs != NULL && SleepEx((DWORD)atol(sizeMs), FALSE) == 0)
        MoveWindow(window, 0, 0, client.right, client.bottom, TRUE);
    if (window == NULL || PROBE_MODE != PROBE_CHILDREN)
        return window;
    client.right /= 2;
    CreateProbeWindow("NovraProbeChild", 0, WS_CHILD, &client, window, 1);
    client.left = client.right;
    CreateProbeWindow("NovraProbeChild", 0, WS_CHILD, &client, window, 2);
    return window;
}

/* A window that is not a child but is given a parent is owned by it.
 * NOVRA_PROBE_OWNER "foreground" takes the foreground window for the settings'
 * owner instead of the one given; any other value takes none. */
static HWND CreateForMode(const SaverArgs *args)
{
    const char *ownerSwitch = getenv("NOVRA_PROBE_OWNER");
    HWND foreground = GetForegroundWindow();
    HWND owner = ownerSwitch == NULL ? args->window : strcmp(ownerSwitch, "foreground") == 0 ? foreground : NULL;
    RECT full = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT box = {CW_USEDEFAULT, CW_USEDEFAULT, 260, 140};
    const char *exitMs = getenv("NOVRA_PROBE_EXIT_MS");
    HWND window = NULL;

    if (args->mode == 'p')
        return CreatePreview(args->window);
    if (args->mode == 's')
        window = CreateProbeWindow("NovraProbeFull", WS_EX_TOPMOST, WS_POPUP, &full, NULL, 0);
    if (args->mode == 'c' && owner != NULL)
        EnableWindow(owner, FALSE);  /* modal to its owner, as a dialog box is */
    if (args->mode == 'c')
        window = CreateProbeWindow("NovraProbeConfig", 0, WS_CAPTION | WS_SYSMENU, &box, owner, 0);
    if (window != NULL && exitMs != NULL)
        SetTimer(window, 1, (UINT)atol(exitMs), NULL);
    return window;
}

/* Starts a program of its own, not waiting for it; 1 when it started. */
static int StartProgram(char *command)
{
    STARTUPINFOA startup = {};
    PROCESS_INFORMATION process;

    startup.cb = sizeof(startup);
    if (CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process) == 0)
        return 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

/* A child that outlives this probe: itself again, with a private switch. */
static void StartOrphan(const char *line)
{
    char command[2048];

    if (snprintf(command, sizeof(command), "%s%s", line, ORPHAN_SWITCH) < (int)sizeof(command))
        StartProgram(command);
}

/* NOVRA_PROBE_SPIN: a thread keeps a core busy, as a careless saver's does;
 * with "hop" each thread spins a quarter second, starts the next and ends a
 * moment later, as savers whose work moves between short-lived threads. */
static DWORD WINAPI Spin(void *hop)
{
    DWORD start = GetTickCount();

    while (hop == NULL || GetTickCount() - start < HOP_MS)
        quotient = quotient + 1;
    CloseHandle(CreateThread(NULL, 0, Spin, hop, 0, NULL));
    Sleep(HOP_TAIL_MS);
    return 0;
}

/* NOVRA_PROBE_CRASH "breakpoint": a breakpoint left in, as a debug build
 * has; any other value: an integer division by zero, as a saver's bug makes. */
static void Crash(const char *how)
{
    if (strcmp(how, "breakpoint") == 0)
        DebugBreak();
    quotient = quotient / zero;
}

/* With NOVRA_PROBE_HELPER_MS the orphan probe's children are helpers that
 * end by themselves that long after they start, one started as it ends. */
static int Finish(int code)
{
    LogLine("exit %d", code);
    if (PROBE_MODE == PROBE_ORPHAN && getenv("NOVRA_PROBE_HELPER_MS") != NULL)
        StartOrphan(GetCommandLineA());
    return code;
}

/* A .scr that only launches the real saver with the switches it was given,
 * and ends at once with 0. The real one, probe_hangclose.scr beside it, is
 * slow to answer WM_CLOSE, as a real saver busy drawing may be. */
static int LaunchRealSaver(const SaverArgs *args)
{
    char folder[MAX_PATH];
    char command[2 * MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, folder, sizeof(folder));

    while (length > 0 && folder[length - 1] != '\\')
        length--;
    folder[length] = '\0';
    snprintf(command, sizeof(command), "\"%sprobe_hangclose.scr\" /%c %ld", folder, args->mode,
             HandleToLong(args->window));
    return Finish(StartProgram(command) == 1 ? 0 : 2);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char *line = GetCommandLineA();
    SaverArgs args;
    const char *helperMs = getenv("NOVRA_PROBE_HELPER_MS");
    const char *spin = getenv("NOVRA_PROBE_SPIN");
    HWND window;
    MSG message;

    if (PROBE_MODE == PROBE_ORPHAN && strstr(line, ORPHAN_SWITCH) != NULL)
        return (int)SleepEx(helperMs != NULL ? (DWORD)atol(helperMs) : (DWORD)ORPHAN_SLEEP_MS, FALSE);
    startTick = GetTickCount();
    LogLine("start %s", line);
    if (getenv("NOVRA_PROBE_CRASH") != NULL)
        Crash(getenv("NOVRA_PROBE_CRASH"));
    if (PROBE_MODE == PROBE_EXITNOW)
        return Finish(getenv("NOVRA_PROBE_EXIT_CODE") != NULL ? atoi(getenv("NOVRA_PROBE_EXIT_CODE")) : EXIT_NOW_CODE);
    if (PROBE_MODE == PROBE_ORPHAN)
        StartOrphan(line);
    ParseSaverCommand(line, &args);
    LogLine("mode %c parent %ld", args.mode, HandleToLong(args.window));
    if (PROBE_MODE == PROBE_LAUNCHER)
        return LaunchRealSaver(&args);
    window = CreateForMode(&args);
    if (window == NULL)
        return Finish(2);
    if (spin != NULL)
        CloseHandle(CreateThread(NULL, 0, Spin, strcmp(spin, "hop") == 0 ? (void *)spin : NULL, 0, NULL));
    LogLine("window %ld", HandleToLong(window));
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return Finish((int)message.wParam);
}
