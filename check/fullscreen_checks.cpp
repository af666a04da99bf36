/* The full-screen checks' trials: a window that covers every monitor, and
 * an end on a key and on a mouse move, each input tried in a run of its own. */
#include "check/checks.h"

#include <stdio.h>

#include "check/host_window.h"
#include "check/screen_cover.h"

/* Input goes to a saver once its window has been shown this long and has
 * answered a message: one that reads its queue has by then taken the mouse
 * message that comes as its window appears under the cursor (the point many
 * measure a move from), one still setting up its drawing is waited for by
 * the answer, and slower ones get the retry. */
#define SETTLE_MS 250
#define INPUT_TRIES 2
#define INPUT_WAIT_MS 400
/* The mouse's run sends nothing before the saver has outlived the key's
 * run by this much: one that ends by itself is then seen to. */
#define SELF_END_MARGIN_MS 200
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

/* In steps from `from`, with the saver's queue given time between them,
 * as a hand moves; in absolute coordinates, so that pointer acceleration
 * cannot change the distance. */
static void SendMouseMove(SaverRun *saver, POINT from, int direction)
{
    INPUT input;

    ZeroMemory(&input, sizeof(input));
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dy = MulDiv(from.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    for (int step = 1; step <= MOUSE_STEPS && WaitSaverEnd(saver, MOUSE_STEP_MS) != 1; step++) {
        input.mi.dx = MulDiv(from.x + direction * step * MOUSE_STEP, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        SendInput(1, &input, sizeof(INPUT));
    }
}

/* The key's run, then the mouse's, which is also the key's control: a
 * saver whose end comes without input did not end on it. Keys go to the
 * foreground window only; Shift types nothing anywhere should the saver
 * already be gone. A retry goes on from where the first move ended, not
 * from the cursor, which Wine may put back between them. */
static void JudgeInput(TrialRun *run)
{
    const TrialRun *key = run->previous;
    DWORD quietMs = SETTLE_MS;
    POINT cursor;
    int direction;
    DWORD sent;
    int ended;
    char figure[48];

    GetCursorPos(&cursor);
    direction = cursor.x + INPUT_TRIES * MOUSE_STEPS * MOUSE_STEP < GetSystemMetrics(SM_CXSCREEN) ? 1 : -1;
    if (key != NULL && key->endMs > 0 && key->endMs + SELF_END_MARGIN_MS > quietMs)
        quietMs = key->endMs + SELF_END_MARGIN_MS;
    ended = WaitSaverEnd(&run->saver, RemainingMs(run->windowTick, quietMs));
    if (ended != 1)
        SendMessageTimeoutA(run->window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, INPUT_WAIT_MS, NULL);
    sent = GetTickCount();
    while (ended != 1 && run->inputs < INPUT_TRIES) {
        run->inputs++;
        SetForegroundWindow(run->window);
        cursor.x += run->inputs > 1 ? direction * MOUSE_STEPS * MOUSE_STEP : 0;
        if (key != NULL)
            SendMouseMove(&run->saver, cursor, direction);
        else
            SendKey();
        ended = WaitSaverEnd(&run->saver, INPUT_WAIT_MS);
    }
    run->endMs = ended == 1 ? ElapsedMs(run->windowTick) : 0;
    if (run->inputs > 0)
        snprintf(figure, sizeof(figure), "%s %lu ms, %d tr%s", key != NULL ? "mouse" : "key", ElapsedMs(sent),
                 run->inputs, run->inputs == 1 ? "y" : "ies");
    else
        snprintf(figure, sizeof(figure), "%s not sent", key != NULL ? "mouse" : "key");
    if (ended == 1 && run->inputs > 0)
        Record(run, VERDICT_PASS, figure, "");
    else if (ended == 1 && key != NULL && key->endMs > 0 && key->inputs == 0)
        Record(run, VERDICT_FAIL, figure, "");   /* the key's run has said so */
    else if (ended == 1)
        Record(run, VERDICT_FAIL, figure, "ended by itself after %lu ms, before any input", run->endMs);
    else if (key != NULL)
        Record(run, VERDICT_FAIL, figure, "a %d-pixel mouse move did not end it in %d tries", MOUSE_STEP * MOUSE_STEPS,
               run->inputs);
    else
        Record(run, VERDICT_FAIL, figure, "a key (Shift) did not end it in %d tries", run->inputs);
}

/* switches, host, waits for, within, without it, partly, start, judge */
const Trial coversTrial = {{"/s"}, NO_HOST, WINDOW_COVERING, WINDOW_WAIT_MS, VERDICT_FAIL, VERDICT_FAIL, NULL,
                           JudgeCovers};
const Trial endsOnInputTrial = {{"/s", "/s"}, NO_HOST, WINDOW_COVERING, WINDOW_WAIT_MS, VERDICT_FAIL, VERDICT_FAIL,
                                NULL, JudgeInput};
