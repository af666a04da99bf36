#include "settings_check.h"

#include <stdio.h>

#include "check/host_window.h"
#include "host/close_windows.h"

/* How long a saver that first shows some other window is given to show
 * one owned by the host. */
#define SETTLE_MS 300

struct SettingsTrial {
    int owned;
    DWORD elapsedMs;
    char problem[128];   /* what appeared instead of an owned window */
};

static HWND WaitForSettings(SaverRun *run, HWND host)
{
    HWND window = WaitForSaverWindow(run, WINDOW_TOPLEVEL, host, WINDOW_WAIT_MS);
    HWND owned;

    if (window == NULL || GetWindow(window, GW_OWNER) == host)
        return window;
    owned = WaitForSaverWindow(run, WINDOW_OWNED, host, SETTLE_MS);
    return owned != NULL ? owned : window;
}

/* GetWindowText reads another process's title without sending it a message. */
static void DescribeSettings(SaverRun *run, HWND host, HWND front, HWND window, char *why, size_t size)
{
    HWND owner = window != NULL ? GetWindow(window, GW_OWNER) : NULL;
    char title[64] = "";

    if (window != NULL)
        GetWindowTextA(window, title, sizeof(title));
    if (window == NULL)
        DescribeMissing(run, NULL, "window", why, size);
    else if (owner == host)
        why[0] = '\0';
    else if (owner == NULL)
        snprintf(why, size, "an unowned window '%s' appeared", title);
    else if (owner == front)
        snprintf(why, size, "a window '%s' appeared, owned by the window in front, not the host", title);
    else
        snprintf(why, size, "a window '%s' appeared, owned by another window than the host", title);
}

/* The host and the window in front are closed after the run, so a dialog
 * that disabled either leaves nothing behind. */
static void RunSettings(CheckContext *context, int colonForm, SettingsTrial *trial)
{
    HWND host = CreateHostWindow(HOST_WIDTH, HOST_HEIGHT);
    HWND front = CreateFrontWindow();
    char switchText[24];
    HWND window;
    SaverRun run;

    ZeroMemory(trial, sizeof(*trial));
    snprintf(switchText, sizeof(switchText), "/c:%ld", HandleToLong(host));
    if (StartRun(context, &run, colonForm == 1 ? switchText : "/c", colonForm == 1 ? NULL : host) == 1) {
        window = WaitForSettings(&run, host);
        trial->elapsedMs = ElapsedMs(run.startTick);
        trial->owned = window != NULL && GetWindow(window, GW_OWNER) == host;
        DescribeSettings(&run, host, front, window, trial->problem, sizeof(trial->problem));
        if (window != NULL) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            WaitSaverEnd(&run, CLOSE_TIMEOUT_MS);
        }
        FinishRun(context, &run, colonForm == 1 ? "/c:" : "/c");
    }
    DestroyWindow(front);
    DestroyWindow(host);
}

void CheckSettings(CheckContext *context)
{
    SettingsTrial blank;
    SettingsTrial colon;
    char figure[48];

    RunSettings(context, 0, &blank);
    if (context->startFailed == 1)
        return;
    RunSettings(context, 1, &colon);
    if (context->startFailed == 1)
        return;
    snprintf(figure, sizeof(figure), "/c %lu ms, /c: %lu ms", blank.elapsedMs, colon.elapsedMs);
    if (blank.owned == 1 && colon.owned == 1)
        Record(context, CHECK_SETTINGS_OWNED, VERDICT_PASS, figure, "");
    else if (blank.owned == 1)
        Record(context, CHECK_SETTINGS_OWNED, VERDICT_WARN, figure,
               "only \"/c <hwnd>\" is understood; with \"/c:<hwnd>\" %s", colon.problem);
    else if (colon.owned == 1)
        Record(context, CHECK_SETTINGS_OWNED, VERDICT_WARN, figure,
               "only \"/c:<hwnd>\" is understood; with \"/c <hwnd>\" %s", blank.problem);
    else
        Record(context, CHECK_SETTINGS_OWNED, VERDICT_FAIL, figure, "%s", blank.problem);
}
