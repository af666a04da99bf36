#include "checks.h"

#include <stdio.h>
#include <string.h>

#include "check/host_window.h"
#include "check/saver_run.h"
#include "host/close_windows.h"

#define WINDOW_WAIT_MS 2000
#define QUIET_WAIT_MS 1000
#define INPUT_WAIT_MS 1000
#define HOST_WIDTH 320
#define HOST_HEIGHT 240
#define MOUSE_MOVE 20
#define DELETE_TRIES 20

struct CheckContext {
    Report *report;
    const char *path;
    DWORD orphans;
    char orphanRun[24];   /* the switch of the first run that left one */
    int runs;
    int startFailed;
};

static int StartRun(CheckContext *context, SaverRun *run, const char *path, const char *switchText, HWND host)
{
    if (StartSaverRun(run, path, switchText, host) == 1)
        return 1;
    context->startFailed = path == context->path;
    return 0;
}

/* A run that crashed leaves the platform's crash handling behind (under Wine a
 * debugger the saver started): not orphans of the saver's making. */
static void FinishRun(CheckContext *context, SaverRun *run, const char *switchText, int crashed)
{
    EndSaverRun(run);
    if (crashed == 1)
        return;
    context->runs++;
    if (run->orphans > 0 && context->orphans == 0)
        snprintf(context->orphanRun, sizeof(context->orphanRun), "%s", switchText);
    context->orphans += run->orphans;
}

/* Why no window was found: the saver's end, a window of the wrong kind, or nothing. */
static void DescribeMissing(SaverRun *run, HWND host, const char *wanted, char *why, size_t size)
{
    if (WaitSaverEnd(run, 0) == 1)
        snprintf(why, size, "ended with code 0x%lX without %s", run->exitCode, wanted);
    else if (host != NULL && FindSaverWindow(run, FIND_TOPLEVEL, host) != NULL)
        snprintf(why, size, "made a top-level window, not %s", wanted);
    else
        snprintf(why, size, "no %s within %d ms", wanted, WINDOW_WAIT_MS);
}

static void ReportPreviewWindow(CheckContext *context, SaverRun *run, HWND host, HWND window)
{
    char figure[64];
    char why[128];
    RECT client;
    RECT area;

    if (window == NULL) {
        DescribeMissing(run, host, "a child window of the host", why, sizeof(why));
        AddResult(context->report, "preview.window", VERDICT_FAIL, "", "%s", why);
        return;
    }
    GetClientRect(host, &client);
    GetWindowRect(window, &area);
    MapWindowPoints(NULL, host, (POINT *)&area, 2);
    snprintf(figure, sizeof(figure), "%lu ms, %ldx%ld", ElapsedMs(run->startTick), area.right - area.left,
             area.bottom - area.top);
    if (EqualRect(&client, &area))
        AddResult(context->report, "preview.window", VERDICT_PASS, figure, "");
    else
        AddResult(context->report, "preview.window", VERDICT_FAIL, figure,
                  "the window does not fill the %ldx%ld client area", client.right, client.bottom);
}

/* CloseChildWindows bounds each send; the rest of the 500 ms is left for the end. */
static void ReportPreviewClose(CheckContext *context, SaverRun *run, HWND host, HWND window)
{
    DWORD start = GetTickCount();
    char figure[32];
    int answered;

    if (window == NULL) {
        AddResult(context->report, "preview.close", VERDICT_FAIL, "", "no window to close");
        return;
    }
    answered = CloseChildWindows(host);
    WaitSaverEnd(run, RemainingMs(start, CLOSE_TIMEOUT_MS));
    snprintf(figure, sizeof(figure), "%lu ms", ElapsedMs(start));
    if (answered != 1)
        AddResult(context->report, "preview.close", VERDICT_FAIL, figure,
                  "the window's thread did not answer WM_CLOSE within %d ms", CLOSE_TIMEOUT_MS);
    else if (run->exitCode == STILL_ACTIVE && IsWindow(window))
        AddResult(context->report, "preview.close", VERDICT_FAIL, figure, "the window ignored WM_CLOSE");
    else if (run->exitCode == STILL_ACTIVE)
        AddResult(context->report, "preview.close", VERDICT_FAIL, figure,
                  "the window closed but the process still ran");
    else
        AddResult(context->report, "preview.close", VERDICT_PASS, figure, "");
}

static int CheckPreview(CheckContext *context)
{
    HWND host;
    HWND window;
    SaverRun run;

    if (IsWanted(context->report, "preview.window") != 1 && IsWanted(context->report, "preview.close") != 1)
        return 1;
    host = CreateHostWindow(HOST_WIDTH, HOST_HEIGHT);
    if (StartRun(context, &run, context->path, "/p", host) != 1) {
        DestroyWindow(host);
        return 0;
    }
    window = WaitForSaverWindow(&run, FIND_CHILD, host, WINDOW_WAIT_MS);
    ReportPreviewWindow(context, &run, host, window);
    ReportPreviewClose(context, &run, host, window);
    FinishRun(context, &run, "/p", 0);
    DestroyWindow(host);
    return 1;
}

static int OwnProcess(const SaverRun *run, HWND window)
{
    DWORD processId = 0;

    GetWindowThreadProcessId(window, &processId);
    return processId == run->process.dwProcessId;
}

/* Runs a second without a crash or an error box: a dialog is never expected in a preview. */
static int CheckArea(CheckContext *context, const char *name, int size)
{
    HWND host;
    HWND box;
    SaverRun run;
    char figure[48];

    if (IsWanted(context->report, name) != 1)
        return 1;
    host = CreateHostWindow(size, size);
    if (StartRun(context, &run, context->path, "/p", host) != 1) {
        DestroyWindow(host);
        return 0;
    }
    box = WaitForSaverWindow(&run, FIND_ERROR_BOX, host, QUIET_WAIT_MS);
    WaitSaverEnd(&run, 0);
    snprintf(figure, sizeof(figure), "%dx%d, %lu ms", size, size, ElapsedMs(run.startTick));
    if (EndedByException(&run) == 1)
        AddResult(context->report, name, VERDICT_FAIL, figure, "crashed with exception 0x%08lX", run.exitCode);
    else if (box != NULL && OwnProcess(&run, box) == 1)
        AddResult(context->report, name, VERDICT_FAIL, figure, "showed an error box");
    else if (box != NULL)
        AddResult(context->report, name, VERDICT_FAIL, figure, "crashed: a crash report of another process appeared");
    else
        AddResult(context->report, name, VERDICT_PASS, figure, "");
    FinishRun(context, &run, "/p", EndedByException(&run) == 1 || box != NULL);
    DestroyWindow(host);
    return 1;
}

/* The copy may stay locked until the processes of its job are gone. */
static void RemoveCopy(const char *copy, const char *folder)
{
    for (int tries = 0; tries < DELETE_TRIES && DeleteFileA(copy) == 0; tries++)
        Sleep(50);
    RemoveDirectoryA(folder);
}

static void CheckPathBlank(CheckContext *context)
{
    char folder[MAX_PATH];
    char copy[MAX_PATH];
    char why[128];
    char figure[32];
    const char *name = strrchr(context->path, '\\');
    HWND host;
    HWND window;
    SaverRun run;

    if (IsWanted(context->report, "preview.path_blank") != 1)
        return;
    GetTempPathA(sizeof(folder), folder);
    snprintf(copy, sizeof(copy), "%snovracheck %lu", folder, GetCurrentProcessId());
    snprintf(folder, sizeof(folder), "%s", copy);
    if (snprintf(copy, sizeof(copy), "%s%s", folder, name != NULL ? name : "\\saver.scr") >= (int)sizeof(copy) ||
        CreateDirectoryA(folder, NULL) == 0 || CopyFileA(context->path, copy, FALSE) == 0) {
        AddResult(context->report, "preview.path_blank", VERDICT_WARN, "", "could not copy the saver to %s", folder);
        RemoveDirectoryA(folder);
        return;
    }
    host = CreateHostWindow(HOST_WIDTH, HOST_HEIGHT);
    window = NULL;
    if (StartRun(context, &run, copy, "/p", host) == 1)
        window = WaitForSaverWindow(&run, FIND_CHILD, host, WINDOW_WAIT_MS);
    snprintf(figure, sizeof(figure), "%lu ms", ElapsedMs(run.startTick));
    if (window != NULL)
        AddResult(context->report, "preview.path_blank", VERDICT_PASS, figure, "");
    if (window == NULL && run.process.hProcess == NULL)
        AddResult(context->report, "preview.path_blank", VERDICT_FAIL, "", "the copy in \"%s\" did not start", folder);
    if (window == NULL && run.process.hProcess != NULL) {
        DescribeMissing(&run, host, "a child window of the host", why, sizeof(why));
        AddResult(context->report, "preview.path_blank", VERDICT_FAIL, figure, "from a quoted path: %s", why);
    }
    FinishRun(context, &run, "/p", 0);
    DestroyWindow(host);
    RemoveCopy(copy, folder);
}

/* One settings run; the owner is a host of the checker's, closed with the
 * run, so a dialog that disabled it leaves nothing behind. 1 when a window
 * owned by the host appeared, with the time it took in *elapsed. */
static int RunSettings(CheckContext *context, int colonForm, DWORD *elapsed)
{
    HWND host = CreateHostWindow(HOST_WIDTH, HOST_HEIGHT);
    char switchText[24];
    HWND window;
    SaverRun run;

    snprintf(switchText, sizeof(switchText), "/c:%ld", HandleToLong(host));
    if (StartRun(context, &run, context->path, colonForm == 1 ? switchText : "/c", colonForm == 1 ? NULL : host) != 1) {
        DestroyWindow(host);
        return 0;
    }
    window = WaitForSaverWindow(&run, FIND_OWNED, host, WINDOW_WAIT_MS);
    *elapsed = ElapsedMs(run.startTick);
    if (window != NULL) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        WaitSaverEnd(&run, CLOSE_TIMEOUT_MS);
    }
    FinishRun(context, &run, colonForm == 1 ? "/c:" : "/c", 0);
    DestroyWindow(host);
    return window != NULL;
}

static int CheckSettings(CheckContext *context)
{
    DWORD blankMs = 0;
    DWORD colonMs = 0;
    char figure[48];
    int blank;
    int colon;

    if (IsWanted(context->report, "settings.owned") != 1)
        return 1;
    blank = RunSettings(context, 0, &blankMs);
    colon = context->startFailed == 0 ? RunSettings(context, 1, &colonMs) : 0;
    if (context->startFailed == 1)
        return 0;
    snprintf(figure, sizeof(figure), "/c %lu ms, /c: %lu ms", blankMs, colonMs);
    if (blank == 1 && colon == 1)
        AddResult(context->report, "settings.owned", VERDICT_PASS, figure, "");
    else if (blank == 1 || colon == 1)
        AddResult(context->report, "settings.owned", VERDICT_WARN, figure, "only \"/c%s<hwnd>\" is understood",
                  blank == 1 ? " " : ":");
    else
        AddResult(context->report, "settings.owned", VERDICT_FAIL, figure,
                  "no window owned by the host within %d ms", WINDOW_WAIT_MS);
    return 1;
}

/* Absolute coordinates, so that pointer acceleration cannot change the distance. */
static void SendMoveAndKey(void)
{
    INPUT inputs[3];
    POINT cursor;

    ZeroMemory(inputs, sizeof(inputs));
    GetCursorPos(&cursor);
    cursor.x += cursor.x >= MOUSE_MOVE ? -MOUSE_MOVE : MOUSE_MOVE;
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dx = MulDiv(cursor.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    inputs[0].mi.dy = MulDiv(cursor.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].type = INPUT_KEYBOARD;
    inputs[1].ki.wVk = VK_SHIFT;
    inputs[2] = inputs[1];
    inputs[2].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(3, inputs, sizeof(INPUT));
}

static void ReportInput(CheckContext *context, SaverRun *run, HWND window)
{
    DWORD start;
    char figure[32];

    if (window == NULL) {
        AddResult(context->report, "fullscreen.ends_on_input", VERDICT_FAIL, "", "no full-screen window to send input to");
        return;
    }
    /* Keys go to the foreground window only. */
    SetForegroundWindow(window);
    WaitForInputIdle(run->process.hProcess, INPUT_WAIT_MS);
    start = GetTickCount();
    SendMoveAndKey();
    WaitSaverEnd(run, INPUT_WAIT_MS);
    snprintf(figure, sizeof(figure), "%lu ms", ElapsedMs(start));
    if (run->exitCode != STILL_ACTIVE)
        AddResult(context->report, "fullscreen.ends_on_input", VERDICT_PASS, figure, "");
    else
        AddResult(context->report, "fullscreen.ends_on_input", VERDICT_FAIL, figure,
                  "still running after a %d-pixel mouse move and a key", MOUSE_MOVE);
}

static int CheckFullScreen(CheckContext *context)
{
    SaverRun run;
    HWND window;
    char figure[48];
    char why[128];

    if (IsWanted(context->report, "fullscreen.covers") != 1 && IsWanted(context->report, "fullscreen.ends_on_input") != 1)
        return 1;
    if (StartRun(context, &run, context->path, "/s", NULL) != 1)
        return 0;
    window = WaitForSaverWindow(&run, FIND_COVERING, NULL, WINDOW_WAIT_MS);
    snprintf(figure, sizeof(figure), "%lu ms, screen %dx%d", ElapsedMs(run.startTick), GetSystemMetrics(SM_CXSCREEN),
             GetSystemMetrics(SM_CYSCREEN));
    if (window != NULL)
        AddResult(context->report, "fullscreen.covers", VERDICT_PASS, figure, "");
    else {
        DescribeMissing(&run, NULL, "a window covering the screen", why, sizeof(why));
        AddResult(context->report, "fullscreen.covers", VERDICT_FAIL, figure, "%s", why);
    }
    ReportInput(context, &run, window);
    FinishRun(context, &run, "/s", 0);
    return 1;
}

static void ReportOrphans(CheckContext *context)
{
    char figure[32];

    snprintf(figure, sizeof(figure), "%d runs", context->runs);
    if (context->orphans == 0)
        AddResult(context->report, "orphans", VERDICT_PASS, figure, "");
    else
        AddResult(context->report, "orphans", VERDICT_FAIL, figure,
                  "%lu process(es) the saver started still ran after it ended (first after %s)", context->orphans,
                  context->orphanRun);
}

int RunChecks(Report *report, const char *path)
{
    CheckContext context;

    ZeroMemory(&context, sizeof(context));
    context.report = report;
    context.path = path;
    if (CheckPreview(&context) != 1 || CheckArea(&context, "preview.empty_area", 0) != 1 ||
        CheckArea(&context, "preview.tiny_area", 1) != 1)
        return 0;
    CheckPathBlank(&context);
    if (CheckSettings(&context) != 1 || CheckFullScreen(&context) != 1)
        return 0;
    ReportOrphans(&context);
    return 1;
}
