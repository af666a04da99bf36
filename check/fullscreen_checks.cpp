/* The full-screen checks' trials: a window that covers every monitor, and
 * an end on a key and on a mouse move, each input tried in a run of its own. */
#include "check/checks.h"

#include <stdio.h>

#include "check/host_window.h"
#include "check/screen_cover.h"

#define INPUT_WAIT_MS 1000
/* A move a hand makes, not a twitch: savers rightly ignore a few pixels,
 * and some anything under 50. */
#define MOUSE_STEP 30
#define MOUSE_STEPS 4
#define MOUSE_STEP_MS 20

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

/* The window covers the primary monitor; on more than one, a window that
 * leaves another showing the desktop is worth a warning. */
static void JudgeCovers(TrialRun *run)
{
    MonitorCount count;
    char screen[48];
    char figure[64];

    ZeroMemory(&count, sizeof(count));
    if (GetSystemMetrics(SM_CMONITORS) > 1)
        snprintf(screen, sizeof(screen), "%d monitors, virtual screen %dx%d", GetSystemMetrics(SM_CMONITORS),
                 GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    else
        snprintf(screen, sizeof(screen), "screen %dx%d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    snprintf(figure, sizeof(figure), "%lu ms, %s", ElapsedMs(run->saver.startTick), screen);
    if (GetWindowRect(run->window, &count.window))
        EnumDisplayMonitors(NULL, NULL, CountMonitorProc, (LPARAM)&count);
    if (count.covered < count.monitors)
        Record(run, VERDICT_WARN, figure, "covers %d of %d monitors: %ld,%ld-%ld,%ld is not covered", count.covered,
               count.monitors, count.firstUncovered.left, count.firstUncovered.top, count.firstUncovered.right,
               count.firstUncovered.bottom);
    else
        Record(run, VERDICT_PASS, figure, "");
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
static void SendMouseMove(SaverRun *saver)
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
    for (int step = 1; step <= MOUSE_STEPS && WaitSaverEnd(saver, MOUSE_STEP_MS) != 1; step++) {
        input.mi.dx = MulDiv(cursor.x + direction * step * MOUSE_STEP, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        SendInput(1, &input, sizeof(INPUT));
    }
}

/* The key's run, then the mouse's. Keys go to the foreground window only;
 * Shift types nothing anywhere should the saver already be gone. */
static void JudgeInput(TrialRun *run)
{
    int mouse = run->previous != NULL;
    DWORD start;
    int ended;
    char figure[32];

    SetForegroundWindow(run->window);
    WaitForInputIdle(run->saver.process.hProcess, INPUT_WAIT_MS);
    start = GetTickCount();
    if (mouse == 1)
        SendMouseMove(&run->saver);
    else
        SendKey();
    ended = WaitSaverEnd(&run->saver, INPUT_WAIT_MS);
    snprintf(figure, sizeof(figure), "%s %lu ms", mouse == 1 ? "mouse" : "key", ElapsedMs(start));
    if (ended == 1)
        Record(run, VERDICT_PASS, figure, "");
    else if (mouse == 1)
        Record(run, VERDICT_FAIL, figure, "a %d-pixel mouse move did not end it", MOUSE_STEP * MOUSE_STEPS);
    else
        Record(run, VERDICT_FAIL, figure, "a key (Shift) did not end it");
}

/* switches, host, waits for, within, without it, partly, start, judge */
const Trial coversTrial = {{"/s"}, NO_HOST, WINDOW_COVERING, WINDOW_WAIT_MS, VERDICT_FAIL, VERDICT_FAIL, NULL,
                           JudgeCovers};
const Trial endsOnInputTrial = {{"/s", "/s"}, NO_HOST, WINDOW_COVERING, WINDOW_WAIT_MS, VERDICT_FAIL, VERDICT_FAIL,
                                NULL, JudgeInput};
