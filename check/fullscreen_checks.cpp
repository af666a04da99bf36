#include "fullscreen_checks.h"

#include <stdio.h>
#include <string.h>

#include "check/host_window.h"
#include "check/screen_cover.h"

#define INPUT_WAIT_MS 1000
/* A move a hand makes, not a twitch: savers rightly ignore a few pixels,
 * and some anything under 50. */
#define MOUSE_STEP 30
#define MOUSE_STEPS 4
#define MOUSE_STEP_MS 20

enum InputKind {
    INPUT_KIND_KEY,
    INPUT_KIND_MOUSE
};

struct InputTrial {
    DWORD elapsedMs;
    char problem[96];   /* empty when the input ended the saver */
};

struct MonitorCount {
    RECT window;
    int monitors;
    int covered;
    RECT firstUncovered;
};

static BOOL CALLBACK CountMonitorProc(HMONITOR, HDC, LPRECT area, LPARAM lParam)
{
    MonitorCount *count = (MonitorCount *)lParam;
    RECT part = UncoveredPart(*area, count->window);

    count->monitors++;
    if (IsRectEmpty(&part))
        count->covered++;
    else if (count->monitors - count->covered == 1)
        count->firstUncovered = part;
    return TRUE;
}

/* "screen 1280x1024", or on more than one monitor the virtual screen. */
static void DescribeScreen(char *text, size_t size)
{
    if (GetSystemMetrics(SM_CMONITORS) > 1)
        snprintf(text, size, "%d monitors, virtual screen %dx%d", GetSystemMetrics(SM_CMONITORS),
                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    else
        snprintf(text, size, "screen %dx%d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

/* The window covers the primary monitor; on more than one, a window that
 * leaves another showing the desktop is worth a warning. */
static void ReportCovers(CheckContext *context, SaverRun *run, HWND window)
{
    MonitorCount count;
    const RECT *part = &count.firstUncovered;
    char screen[48];
    char figure[64];
    char why[128];

    ZeroMemory(&count, sizeof(count));
    DescribeScreen(screen, sizeof(screen));
    snprintf(figure, sizeof(figure), "%lu ms, %s", ElapsedMs(run->startTick), screen);
    if (window != NULL && GetWindowRect(window, &count.window))
        EnumDisplayMonitors(NULL, NULL, CountMonitorProc, (LPARAM)&count);
    if (window == NULL) {
        DescribeMissing(run, NULL, "window covering the screen", why, sizeof(why));
        Record(context, CHECK_COVERS, VERDICT_FAIL, figure, "%s", why);
    } else if (count.covered < count.monitors)
        Record(context, CHECK_COVERS, VERDICT_WARN, figure, "covers %d of %d monitors: %ld,%ld-%ld,%ld is not covered",
               count.covered, count.monitors, part->left, part->top, part->right, part->bottom);
    else
        Record(context, CHECK_COVERS, VERDICT_PASS, figure, "");
}

static void SendKey(void)
{
    INPUT inputs[2];

    ZeroMemory(inputs, sizeof(inputs));
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_SHIFT;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

/* In steps, with the saver's queue given time between them, as a hand
 * moves; in absolute coordinates, so that pointer acceleration cannot
 * change the distance. */
static void SendMouseMove(SaverRun *run)
{
    INPUT input;
    POINT cursor;
    int direction;

    GetCursorPos(&cursor);
    direction = cursor.x + MOUSE_STEP * MOUSE_STEPS < GetSystemMetrics(SM_CXSCREEN) ? 1 : -1;
    ZeroMemory(&input, sizeof(input));
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dy = MulDiv(cursor.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    for (int step = 1; step <= MOUSE_STEPS && WaitSaverEnd(run, MOUSE_STEP_MS) != 1; step++) {
        input.mi.dx = MulDiv(cursor.x + direction * step * MOUSE_STEP, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        SendInput(1, &input, sizeof(INPUT));
    }
}

/* Keys go to the foreground window only. Shift types nothing anywhere
 * should the saver already be gone. */
static void TryInput(SaverRun *run, HWND window, InputKind kind, InputTrial *trial)
{
    DWORD start;
    int ended;

    if (window == NULL) {
        DescribeMissing(run, NULL, "full-screen window to send input to", trial->problem, sizeof(trial->problem));
        return;
    }
    SetForegroundWindow(window);
    WaitForInputIdle(run->process.hProcess, INPUT_WAIT_MS);
    start = GetTickCount();
    if (kind == INPUT_KIND_KEY)
        SendKey();
    else
        SendMouseMove(run);
    ended = WaitSaverEnd(run, INPUT_WAIT_MS);
    trial->elapsedMs = ElapsedMs(start);
    if (DescribeBadEnd(run, trial->problem, sizeof(trial->problem)) == 1 || ended == 1)
        return;
    if (kind == INPUT_KIND_KEY)
        snprintf(trial->problem, sizeof(trial->problem), "a key (Shift) did not end it");
    else
        snprintf(trial->problem, sizeof(trial->problem), "a %d-pixel mouse move did not end it",
                 MOUSE_STEP * MOUSE_STEPS);
}

/* The first run also judges the window; each tries one input. */
static void RunFullScreen(CheckContext *context, InputKind kind, InputTrial *trial)
{
    SaverRun run;
    HWND window;

    if (StartRun(context, &run, "/s", NULL) != 1)
        return;
    window = WaitForSaverWindow(&run, WINDOW_COVERING, NULL, WINDOW_WAIT_MS);
    if (kind == INPUT_KIND_KEY)
        ReportCovers(context, &run, window);
    if (IsWanted(context, CHECK_ENDS_ON_INPUT) == 1)
        TryInput(&run, window, kind, trial);
    FinishRun(context, &run, "/s");
}

static void ReportInput(CheckContext *context, const InputTrial *key, const InputTrial *mouse)
{
    char figure[48];

    snprintf(figure, sizeof(figure), "key %lu ms, mouse %lu ms", key->elapsedMs, mouse->elapsedMs);
    if (key->problem[0] == '\0' && mouse->problem[0] == '\0')
        Record(context, CHECK_ENDS_ON_INPUT, VERDICT_PASS, figure, "");
    else if (key->problem[0] == '\0' || mouse->problem[0] == '\0' || strcmp(key->problem, mouse->problem) == 0)
        Record(context, CHECK_ENDS_ON_INPUT, VERDICT_FAIL, figure, "%s",
               key->problem[0] != '\0' ? key->problem : mouse->problem);
    else
        Record(context, CHECK_ENDS_ON_INPUT, VERDICT_FAIL, figure, "%s; %s", key->problem, mouse->problem);
}

void CheckFullScreen(CheckContext *context)
{
    InputTrial key;
    InputTrial mouse;

    ZeroMemory(&key, sizeof(key));
    ZeroMemory(&mouse, sizeof(mouse));
    RunFullScreen(context, INPUT_KIND_KEY, &key);
    if (context->startFailed == 1 || IsWanted(context, CHECK_ENDS_ON_INPUT) != 1)
        return;
    RunFullScreen(context, INPUT_KIND_MOUSE, &mouse);
    if (context->startFailed != 1)
        ReportInput(context, &key, &mouse);
}
