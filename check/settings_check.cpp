/* settings.owned: the settings window is owned by the window whose handle
 * the saver was given, in both forms of the switch, while another window
 * of the checker's is in front, so that only the handle leads to the host. */
#include "check/checks.h"

#include <stdio.h>

#include "check/host_window.h"
#include "host/close_windows.h"

/* How long a saver that first shows some other window is given to show
 * one owned by the host. */
#define SETTLE_MS 300

/* "/c:" is the form with the handle joined to the switch. */
static int StartInFrontOf(TrialRun *run, const char *switchText)
{
    char colonForm[24];

    run->front = CreateFrontWindow();
    if (switchText[2] != ':')
        return StartTrialSaver(run, run->tally->path, switchText, run->host);
    snprintf(colonForm, sizeof(colonForm), "/c:%ld", HandleToLong(run->host));
    return StartTrialSaver(run, run->tally->path, colonForm, NULL);
}

/* GetWindowText reads another process's title without sending it a
 * message. The host and the window in front are closed after the run, so
 * a dialog that disabled either leaves nothing behind. */
static void JudgeOwner(TrialRun *run)
{
    HWND owned = WaitForSaverWindow(&run->saver, WINDOW_OWNED, run->host, SETTLE_MS);
    HWND window = owned != NULL ? owned : run->window;
    HWND owner = GetWindow(window, GW_OWNER);
    char title[64] = "";
    char figure[32];

    GetWindowTextA(window, title, sizeof(title));
    snprintf(figure, sizeof(figure), "%s %lu ms%s", run->previous == NULL ? "/c" : "/c:",
             ElapsedMs(run->saver.startTick), owner == run->host ? "" : ", not owned");
    if (owner == run->host)
        Record(run, VERDICT_PASS, figure, "");
    else
        Record(run, VERDICT_FAIL, figure, "%s '%s' appeared%s", owner == NULL ? "an unowned window" : "a window", title,
               owner == NULL ? "" : owner == run->front ? ", owned by the window in front, not the host"
                                                         : ", owned by another window than the host");
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitSaverEnd(&run->saver, CLOSE_TIMEOUT_MS);
}

/* Either form alone understood is a warning. */
const Trial settingsTrial = {{"/c", "/c:"}, PREVIEW_HOST, WINDOW_TOPLEVEL, WINDOW_WAIT_MS, VERDICT_FAIL, VERDICT_WARN,
                             StartInFrontOf, JudgeOwner};
