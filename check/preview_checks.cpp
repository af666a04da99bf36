/* The preview checks' trials: the window in its host, its close, an empty
 * and a 1x1 area, a path with a blank, and the processor time it uses. */
#include "check/checks.h"

#include <stdio.h>
#include <string.h>
#include <tlhelp32.h>

#include "check/host_window.h"
#include "host/close_windows.h"

#define QUIET_WAIT_MS 1000
#define CPU_SPAN_MS 3000
#define CPU_WARN_PERCENT 50
#define CPU_POLL_MS 10
#define CPU_LIST_MS 50
#define CPU_THREAD_LIMIT 128

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
    TrialRun *run = (TrialRun *)context;

    return !IsWindow(run->window) || Fills(run->host, run->window) || WaitSaverEnd(&run->saver, 0) == 1;
}

/* A saver may size its window a moment after making it: the window is
 * judged once it fills the area, or when the bound from the start is up.
 * A window that went meanwhile is a missing one. */
static void JudgeFill(TrialRun *run)
{
    RECT area;
    char figure[64];

    PumpUntil(HasFilled, run, run->saver.process.hProcess, RemainingMs(run->saver.startTick, WINDOW_WAIT_MS));
    if (!IsWindow(run->window)) {
        run->window = NULL;
        return;
    }
    GetWindowRect(run->window, &area);
    snprintf(figure, sizeof(figure), "%lu ms, %ldx%ld", ElapsedMs(run->saver.startTick), area.right - area.left,
             area.bottom - area.top);
    if (Fills(run->host, run->window))
        Record(run, VERDICT_PASS, figure, "");
    else
        Record(run, VERDICT_FAIL, figure, "the window does not fill the %dx%d client area", HOST_WIDTH, HOST_HEIGHT);
}

/* CloseChildWindows bounds each send; the rest of the 500 ms is left for the end. */
static void JudgeClose(TrialRun *run)
{
    DWORD start = GetTickCount();
    int answered = CloseChildWindows(run->host);
    char figure[32];

    WaitSaverEnd(&run->saver, RemainingMs(start, CLOSE_TIMEOUT_MS));
    snprintf(figure, sizeof(figure), "%lu ms", ElapsedMs(start));
    if (answered != 1)
        Record(run, VERDICT_FAIL, figure, "the window's thread did not answer WM_CLOSE within %d ms", CLOSE_TIMEOUT_MS);
    else if (run->saver.exitCode == STILL_ACTIVE && IsWindow(run->window))
        Record(run, VERDICT_FAIL, figure, "the window ignored WM_CLOSE");
    else if (run->saver.exitCode == STILL_ACTIVE)
        Record(run, VERDICT_FAIL, figure, "the window closed but the process still ran");
    else
        Record(run, VERDICT_PASS, figure, "");
}

/* The trial waited a second for an error box: a dialog is never expected
 * in a preview. */
static void JudgeQuiet(TrialRun *run)
{
    RECT client = {0, 0, 0, 0};
    char figure[48];

    GetClientRect(run->host, &client);
    snprintf(figure, sizeof(figure), "%ldx%ld, %lu ms", client.right, client.bottom, ElapsedMs(run->saver.startTick));
    if (run->window != NULL)
        Record(run, VERDICT_FAIL, figure, "showed an error box");
    else
        Record(run, VERDICT_PASS, figure, "");
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

/* Where no such path fits, or the platform cannot start the saver from
 * it, the saver is started from its own path, which is not its fault but
 * still shows whether it can be started at all. */
static int StartFromBlankPath(TrialRun *run, const char *switchText)
{
    char path[MAX_PATH];
    DWORD error = ERROR_FILENAME_EXCED_RANGE;

    if (MakeBlankPath(run->tally->path, path, sizeof(path)) == 1) {
        if (StartSaverRun(&run->saver, path, switchText, run->host) == 1) {
            snprintf(run->path, sizeof(run->path), "%s", path);
            return 1;
        }
        error = run->saver.startError;
    }
    Record(run, VERDICT_WARN, "", "could not run it from a path with a blank (error %lu)", error);
    return StartTrialSaver(run, run->tally->path, switchText, run->host);
}

/* A warning its start gave stands. */
static void JudgeBlankPath(TrialRun *run)
{
    if (run->result.verdict == VERDICT_NONE)
        Record(run, VERDICT_PASS, NULL, "");
}

/* The saver's threads over a span. Wine answers for another process with
 * the caller's own times and for an ended thread with none, so each thread
 * is read all through the span, its last figure kept; a held handle keeps
 * an ended thread's id from going to a new one. */
struct CpuWatch {
    HANDLE threads[CPU_THREAD_LIMIT];
    DWORD ids[CPU_THREAD_LIMIT];
    ULONGLONG firstMs[CPU_THREAD_LIMIT];   /* 0 for a thread begun in the span */
    ULONGLONG lastMs[CPU_THREAD_LIMIT];
    int gone[CPU_THREAD_LIMIT];            /* 1 once unreadable: not asked again, so the rest are read sooner */
    int count;
    DWORD listTick;                        /* a thread list costs more than a thread's times */
};

static int ReadThreadMs(HANDLE thread, ULONGLONG *ms)
{
    FILETIME times[4];

    if (!GetThreadTimes(thread, &times[0], &times[1], &times[2], &times[3]))
        return 0;
    *ms = (((ULONGLONG)times[2].dwHighDateTime << 32 | times[2].dwLowDateTime) +
           ((ULONGLONG)times[3].dwHighDateTime << 32 | times[3].dwLowDateTime)) / 10000;   /* from 100 ns */
    return 1;
}

static void AddNewThreads(CpuWatch *watch, DWORD processId, int begun)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;

    entry.dwSize = sizeof(entry);
    watch->listTick = GetTickCount();
    for (BOOL more = snapshot != INVALID_HANDLE_VALUE && Thread32First(snapshot, &entry);
         more && watch->count < CPU_THREAD_LIMIT; more = Thread32Next(snapshot, &entry)) {
        int held = entry.th32OwnerProcessID != processId;
        HANDLE thread;

        for (int index = 0; index < watch->count && held == 0; index++)
            held = watch->ids[index] == entry.th32ThreadID;
        thread = held == 0 ? OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID) : NULL;
        if (thread == NULL)
            continue;
        watch->threads[watch->count] = thread;
        watch->ids[watch->count] = entry.th32ThreadID;
        if (begun != 1)
            ReadThreadMs(thread, &watch->firstMs[watch->count]);
        watch->lastMs[watch->count] = watch->firstMs[watch->count];
        watch->count++;
    }
    if (snapshot != INVALID_HANDLE_VALUE)
        CloseHandle(snapshot);
}

/* A smaller later figure (a thread that ended) is not read. */
static void ReadCpu(CpuWatch *watch, const SaverRun *saver)
{
    if (ElapsedMs(watch->listTick) >= CPU_LIST_MS)
        AddNewThreads(watch, saver->process.dwProcessId, 1);
    for (int index = 0; index < watch->count; index++) {
        ULONGLONG now = 0;

        if (watch->gone[index] == 0 && ReadThreadMs(watch->threads[index], &now) != 1)
            watch->gone[index] = 1;
        watch->lastMs[index] = now > watch->lastMs[index] ? now : watch->lastMs[index];
    }
}

/* The saver's own processor time over CPU_SPAN_MS in the small area, what
 * a laptop's battery pays for a preview. */
static void JudgeCpu(TrialRun *run)
{
    CpuWatch watch;
    DWORD start = GetTickCount();
    ULONGLONG usedMs = 0;
    DWORD spanMs;
    DWORD percent;
    char figure[64];

    ZeroMemory(&watch, sizeof(watch));
    AddNewThreads(&watch, run->saver.process.dwProcessId, 0);
    while (RemainingMs(start, CPU_SPAN_MS) > 0 && WaitSaverEnd(&run->saver, CPU_POLL_MS) != 1)
        ReadCpu(&watch, &run->saver);
    for (int index = 0; index < watch.count; index++) {
        usedMs += watch.lastMs[index] - watch.firstMs[index];
        CloseHandle(watch.threads[index]);
    }
    spanMs = ElapsedMs(start);
    percent = spanMs > 0 ? (DWORD)(usedMs * 100 / spanMs) : 0;
    snprintf(figure, sizeof(figure), "%lu%% of a core over %lu ms", percent, spanMs);
    if (run->saver.exitCode != STILL_ACTIVE)
        Record(run, VERDICT_WARN, figure, "ended with code 0x%lX while measured", run->saver.exitCode);
    else if (percent > CPU_WARN_PERCENT)
        Record(run, VERDICT_WARN, figure, "uses %lu%% of a core in a %dx%d preview", percent, HOST_WIDTH,
               HOST_HEIGHT);
    else
        Record(run, VERDICT_PASS, figure, "");
}

/* switches, host, waits for, within, without it, partly, start, judge */
const Trial previewWindowTrial = {{"/p"}, PREVIEW_HOST, WINDOW_CHILD, WINDOW_WAIT_MS, VERDICT_FAIL, VERDICT_FAIL,
                                  NULL, JudgeFill};
const Trial previewCloseTrial = {{"/p"}, PREVIEW_HOST, WINDOW_CHILD, WINDOW_WAIT_MS, VERDICT_FAIL, VERDICT_FAIL,
                                 NULL, JudgeClose};
const Trial emptyAreaTrial = {{"/p"}, {0, 0}, WINDOW_ERROR_BOX, QUIET_WAIT_MS, VERDICT_NONE, VERDICT_FAIL, NULL,
                              JudgeQuiet};
const Trial tinyAreaTrial = {{"/p"}, {1, 1}, WINDOW_ERROR_BOX, QUIET_WAIT_MS, VERDICT_NONE, VERDICT_FAIL, NULL,
                             JudgeQuiet};
const Trial pathBlankTrial = {{"/p"}, PREVIEW_HOST, WINDOW_CHILD, WINDOW_WAIT_MS, VERDICT_FAIL, VERDICT_FAIL,
                              StartFromBlankPath, JudgeBlankPath};
const Trial previewCpuTrial = {{"/p"}, PREVIEW_HOST, WINDOW_CHILD, WINDOW_WAIT_MS, VERDICT_WARN, VERDICT_FAIL,
                               NULL, JudgeCpu};
