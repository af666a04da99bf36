#include "preview_checks.h"

#include <stdio.h>
#include <string.h>

#include "host/exit_code.h"
#include "check/host_window.h"
#include "host/close_windows.h"

#define QUIET_WAIT_MS 1000
#define CPU_SPAN_MS 3000
#define CPU_WARN_PERCENT 50

struct FillWait {
    SaverRun *run;
    HWND host;
    HWND window;
};

static int Fills(HWND host, HWND window)
{
    RECT client;
    RECT area;

    GetClientRect(host, &client);
    GetWindowRect(window, &area);
    MapWindowPoints(NULL, host, (POINT *)&area, 2);
    return EqualRect(&client, &area);
}

static int HasFilled(void *context)
{
    FillWait *wait = (FillWait *)context;

    return !IsWindow(wait->window) || Fills(wait->host, wait->window) || WaitSaverEnd(wait->run, 0) == 1;
}

/* A saver may size its window a moment after making it: the window is
 * judged once it fills the area, or when the bound from the start is up. */
static void ReportPreviewWindow(CheckContext *context, SaverRun *run, HWND host, HWND window)
{
    FillWait wait = {run, host, window};
    RECT area = {0, 0, 0, 0};
    char figure[64];
    char why[128];

    if (window != NULL)
        PumpUntil(HasFilled, &wait, run->process.hProcess, RemainingMs(run->startTick, WINDOW_WAIT_MS));
    if (window == NULL || !IsWindow(window)) {
        DescribeMissing(run, host, "child window of the host", why, sizeof(why));
        Record(context, CHECK_PREVIEW_WINDOW, VERDICT_FAIL, "", "%s", why);
        return;
    }
    GetWindowRect(window, &area);
    snprintf(figure, sizeof(figure), "%lu ms, %ldx%ld", ElapsedMs(run->startTick), area.right - area.left,
             area.bottom - area.top);
    if (Fills(host, window))
        Record(context, CHECK_PREVIEW_WINDOW, VERDICT_PASS, figure, "");
    else
        Record(context, CHECK_PREVIEW_WINDOW, VERDICT_FAIL, figure, "the window does not fill the %dx%d client area",
               HOST_WIDTH, HOST_HEIGHT);
}

/* CloseChildWindows bounds each send; the rest of the 500 ms is left for the end. */
static void ReportPreviewClose(CheckContext *context, SaverRun *run, HWND host, HWND window)
{
    DWORD start = GetTickCount();
    char figure[32];
    char why[128];
    int answered = 1;

    if (window != NULL) {
        answered = CloseChildWindows(host);
        WaitSaverEnd(run, RemainingMs(start, CLOSE_TIMEOUT_MS));
    }
    snprintf(figure, sizeof(figure), "%lu ms", ElapsedMs(start));
    if (DescribeBadEnd(run, why, sizeof(why)) == 1)
        Record(context, CHECK_PREVIEW_CLOSE, VERDICT_FAIL, figure, "%s", why);
    else if (window == NULL)
        Record(context, CHECK_PREVIEW_CLOSE, VERDICT_FAIL, "", "no window to close");
    else if (answered != 1)
        Record(context, CHECK_PREVIEW_CLOSE, VERDICT_FAIL, figure,
               "the window's thread did not answer WM_CLOSE within %d ms", CLOSE_TIMEOUT_MS);
    else if (run->exitCode == STILL_ACTIVE && IsWindow(window))
        Record(context, CHECK_PREVIEW_CLOSE, VERDICT_FAIL, figure, "the window ignored WM_CLOSE");
    else if (run->exitCode == STILL_ACTIVE)
        Record(context, CHECK_PREVIEW_CLOSE, VERDICT_FAIL, figure, "the window closed but the process still ran");
    else
        Record(context, CHECK_PREVIEW_CLOSE, VERDICT_PASS, figure, "");
}

void CheckPreview(CheckContext *context)
{
    HWND host = CreateHostWindow(HOST_WIDTH, HOST_HEIGHT);
    HWND window;
    SaverRun run;

    if (StartRun(context, &run, "/p", host) == 1) {
        window = WaitForSaverWindow(&run, WINDOW_CHILD, host, WINDOW_WAIT_MS);
        ReportPreviewWindow(context, &run, host, window);
        ReportPreviewClose(context, &run, host, window);
        FinishRun(context, &run, "/p");
    }
    DestroyWindow(host);
}

/* Runs a second without a crash or an error box: a dialog is never expected in a preview. */
static void CheckArea(CheckContext *context, CheckId id, int size)
{
    HWND host = CreateHostWindow(size, size);
    HWND box;
    SaverRun run;
    char figure[48];
    char why[128];

    if (StartRun(context, &run, "/p", host) == 1) {
        box = WaitForSaverWindow(&run, WINDOW_ERROR_BOX, host, QUIET_WAIT_MS);
        WaitSaverEnd(&run, 0);
        snprintf(figure, sizeof(figure), "%dx%d, %lu ms", size, size, ElapsedMs(run.startTick));
        if (DescribeBadEnd(&run, why, sizeof(why)) == 1)
            Record(context, id, VERDICT_FAIL, figure, "%s", why);
        else if (box != NULL)
            Record(context, id, VERDICT_FAIL, figure, "showed an error box");
        else
            Record(context, id, VERDICT_PASS, figure, "");
        FinishRun(context, &run, "/p");
    }
    DestroyWindow(host);
}

void CheckEmptyArea(CheckContext *context)
{
    CheckArea(context, CHECK_EMPTY_AREA, 0);
}

void CheckTinyArea(CheckContext *context)
{
    CheckArea(context, CHECK_TINY_AREA, 1);
}

/* The saver's own folder through a folder with a blank that need not exist
 * ("...\novracheck 12\..\saver.scr"): the platform resolves ".." before it
 * looks at the disk, so the saver reads a quoted path with a blank on its
 * command line, as from "C:\Program Files", and still finds the DLLs and
 * files that lie beside it. */
static int MakeBlankPath(const char *path, char *blank, size_t size)
{
    const char *name = strrchr(path, '\\');
    int length;

    if (name == NULL)
        return 0;
    length = snprintf(blank, size, "%.*s\\novracheck %lu\\..%s", (int)(name - path), path, GetCurrentProcessId(),
                      name);
    return length > 0 && length < MAX_PATH && (size_t)length < size;
}

/* That the platform could not run the saver from there is not its fault. */
static void ReportPathBlank(CheckContext *context, SaverRun *run, HWND host, HWND window)
{
    char figure[32];
    char why[128];
    const char *name = "";

    snprintf(figure, sizeof(figure), "%lu ms", ElapsedMs(run->startTick));
    if (window != NULL)
        Record(context, CHECK_PATH_BLANK, VERDICT_PASS, figure, "");
    else if (run->process.hProcess == NULL)
        Record(context, CHECK_PATH_BLANK, VERDICT_WARN, "", "could not run it from a path with a blank (error %lu)",
               run->startError);
    else if (WaitSaverEnd(run, 0) == 1 && ReadExitCode(run->exitCode, &name) == END_LOADER)
        Record(context, CHECK_PATH_BLANK, VERDICT_WARN, figure,
               "could not run it from a path with a blank: 0x%08lX, %s", run->exitCode, name);
    else {
        DescribeMissing(run, host, "child window of the host", why, sizeof(why));
        Record(context, CHECK_PATH_BLANK, VERDICT_FAIL, figure, "from a quoted path with a blank: %s", why);
    }
}

void CheckPathBlank(CheckContext *context)
{
    char path[MAX_PATH];
    HWND host;
    HWND window = NULL;
    SaverRun run;

    if (MakeBlankPath(context->path, path, sizeof(path)) != 1) {
        Record(context, CHECK_PATH_BLANK, VERDICT_WARN, "", "could not make a path with a blank: too long");
        return;
    }
    host = CreateHostWindow(HOST_WIDTH, HOST_HEIGHT);
    if (StartSaverRun(&run, path, "/p", host) == 1)
        window = WaitForSaverWindow(&run, WINDOW_CHILD, host, WINDOW_WAIT_MS);
    ReportPathBlank(context, &run, host, window);
    if (run.process.hProcess != NULL)
        FinishRun(context, &run, "/p");
    DestroyWindow(host);
}

/* The saver's own processor time over CPU_SPAN_MS in the small area, what a
 * laptop's battery pays for a preview. */
static void ReportCpu(CheckContext *context, SaverRun *run, HWND host, HWND window)
{
    DWORD start = GetTickCount();
    DWORD cpuBefore = SaverCpuMs(run);
    DWORD span;
    DWORD percent;
    char figure[64];
    char why[128];

    if (window != NULL)
        WaitSaverEnd(run, CPU_SPAN_MS);
    span = ElapsedMs(start);
    percent = span > 0 ? (SaverCpuMs(run) - cpuBefore) * 100 / span : 0;
    snprintf(figure, sizeof(figure), "%lu%% of a core over %lu ms", percent, span);
    if (DescribeBadEnd(run, why, sizeof(why)) == 1)
        Record(context, CHECK_PREVIEW_CPU, VERDICT_FAIL, figure, "%s", why);
    else if (window == NULL) {
        DescribeMissing(run, host, "child window of the host", why, sizeof(why));
        Record(context, CHECK_PREVIEW_CPU, VERDICT_WARN, "", "nothing to measure: %s", why);
    }
    else if (run->exitCode != STILL_ACTIVE)
        Record(context, CHECK_PREVIEW_CPU, VERDICT_WARN, figure, "ended with code 0x%lX while measured", run->exitCode);
    else if (percent > CPU_WARN_PERCENT)
        Record(context, CHECK_PREVIEW_CPU, VERDICT_WARN, figure, "uses %lu%% of a core in a %dx%d preview", percent,
               HOST_WIDTH, HOST_HEIGHT);
    else
        Record(context, CHECK_PREVIEW_CPU, VERDICT_PASS, figure, "");
}

void CheckPreviewCpu(CheckContext *context)
{
    HWND host = CreateHostWindow(HOST_WIDTH, HOST_HEIGHT);
    SaverRun run;

    if (StartRun(context, &run, "/p", host) == 1) {
        ReportCpu(context, &run, host, WaitForSaverWindow(&run, WINDOW_CHILD, host, WINDOW_WAIT_MS));
        FinishRun(context, &run, "/p");
    }
    DestroyWindow(host);
}
