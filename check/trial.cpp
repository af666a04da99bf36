#include "trial.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "host/exit_code.h"
#include "check/host_window.h"

/* How long a crash handler is given to let the saver go, so that its
 * exception's code can be read: Wine's debugger first prints a report. */
#define HANDLER_WAIT_MS 5000

void Record(TrialRun *run, Verdict verdict, const char *figure, const char *why, ...)
{
    va_list list;

    run->result.verdict = verdict;
    if (figure != NULL)
        snprintf(run->result.figure, sizeof(run->result.figure), "%s", figure);
    va_start(list, why);
    vsnprintf(run->result.why, sizeof(run->result.why), why, list);
    va_end(list);
}

int StartTrialSaver(TrialRun *run, const char *path, const char *switchText, HWND host)
{
    snprintf(run->path, sizeof(run->path), "%s", path);
    if (StartSaverRun(&run->saver, path, switchText, host) == 1)
        return 1;
    run->tally->startFailed = 1;
    run->tally->startError = run->saver.startError;
    return 0;
}

/* A crash, the loader refusing the saver, or a missing window decides the
 * run whatever its trial judged: what it measured is then beside the
 * point. A run from a path of the trial's own making that the loader
 * refuses only warns: the platform may be what could not follow it. A
 * run without a figure of its own gets its time since the start. */
static void JudgeBadEnd(TrialRun *run, const Trial *trial)
{
    SaverRun *saver = &run->saver;
    const char *wanted = trial->waitFor == WINDOW_CHILD ? "child window of the host"
                         : trial->waitFor == WINDOW_COVERING ? "window covering the screen" : "window";
    const char *name = "";
    EndKind kind;

    if (WaitSaverEnd(saver, 0) != 1 && saver->heldByHandler == 1)
        WaitSaverEnd(saver, HANDLER_WAIT_MS);
    kind = saver->exitCode != STILL_ACTIVE ? ReadExitCode(saver->exitCode, &name) : END_EXIT;
    if (run->result.figure[0] == '\0')
        snprintf(run->result.figure, sizeof(run->result.figure), "%lu ms", ElapsedMs(saver->startTick));
    if (kind == END_CRASH)
        Record(run, VERDICT_FAIL, NULL, "crashed: 0x%08lX, %s", saver->exitCode, name);
    else if (saver->heldByHandler == 1)
        Record(run, VERDICT_FAIL, NULL, "crashed: the platform's crash handler held it");
    else if (kind == END_LOADER)
        Record(run, strcmp(run->path, run->tally->path) != 0 ? VERDICT_WARN : VERDICT_FAIL, NULL,
               "could not start: 0x%08lX, %s", saver->exitCode, name);
    else if (run->window != NULL || trial->missing == VERDICT_NONE)
        return;
    else if (saver->exitCode != STILL_ACTIVE)
        Record(run, trial->missing, NULL, "ended with code 0x%lX without a %s", saver->exitCode, wanted);
    else if (trial->waitFor == WINDOW_CHILD && FindSaverWindow(saver, WINDOW_TOPLEVEL, NULL) != NULL)
        Record(run, trial->missing, NULL, "made a top-level window, not a %s", wanted);
    else
        Record(run, trial->missing, NULL, "no %s within %lu ms", wanted, trial->waitMs);
}

/* Ends the run and adds it, and what it left running, to the counts. */
static void FinishRun(TrialRun *run, const char *switchText)
{
    RunTally *tally = run->tally;

    EndSaverRun(&run->saver);
    tally->runs++;
    tally->watchedRuns += run->saver.watched;
    if (run->saver.orphans > 0 && tally->orphans == 0)
        snprintf(tally->orphanRun, sizeof(tally->orphanRun), "%s", switchText);
    tally->orphans += run->saver.orphans;
}

static void RunOnce(const Trial *trial, TrialRun *run, const char *switchText)
{
    if (trial->host.cx >= 0)
        run->host = CreateHostWindow(trial->host.cx, trial->host.cy);
    if ((trial->start != NULL ? trial->start(run, switchText)
                              : StartTrialSaver(run, run->tally->path, switchText, run->host)) == 1) {
        run->window = WaitForSaverWindow(&run->saver, trial->waitFor, run->host, trial->waitMs);
        run->windowTick = GetTickCount();
        if (run->window != NULL || trial->missing == VERDICT_NONE)
            trial->judge(run);
        JudgeBadEnd(run, trial);
        FinishRun(run, switchText);
    }
    if (run->front != NULL)
        DestroyWindow(run->front);
    if (run->host != NULL)
        DestroyWindow(run->host);
}

static void Append(char *text, size_t size, const char *part)
{
    size_t used = strlen(text);

    if (part[0] != '\0' && strstr(text, part) == NULL)
        snprintf(text + used, size - used, "%s%s", used > 0 ? "; " : "", part);
}

/* The worst run decides, but where one run passed a failure is the
 * trial's `partly`; each different reason and every figure is kept. */
static void MergeRuns(const Trial *trial, const TrialRun *runs, int count, CheckResult *result)
{
    int passed = 0;

    for (int index = 0; index < count; index++) {
        const CheckResult *own = &runs[index].result;

        result->verdict = own->verdict > result->verdict ? own->verdict : result->verdict;
        passed += own->verdict == VERDICT_PASS;
        Append(result->why, sizeof(result->why), own->why);
        Append(result->figure, sizeof(result->figure), own->figure);
    }
    if (result->verdict == VERDICT_FAIL && passed > 0)
        result->verdict = trial->partly;
}

void RunTrial(RunTally *tally, const Trial *trial, CheckResult *result)
{
    TrialRun runs[TRIAL_RUNS];
    DWORD start = GetTickCount();
    int count = 0;

    ZeroMemory(runs, sizeof(runs));
    for (; count < TRIAL_RUNS && trial->switches[count] != NULL && tally->startFailed != 1; count++) {
        runs[count].tally = tally;
        runs[count].previous = count > 0 ? &runs[count - 1] : NULL;
        RunOnce(trial, &runs[count], trial->switches[count]);
    }
    if (tally->startFailed == 1)
        return;
    if (count == 0) {
        runs[0].tally = tally;
        trial->judge(&runs[0]);
        count = 1;
    }
    ZeroMemory(result, sizeof(*result));
    MergeRuns(trial, runs, count, result);
    result->elapsedMs = ElapsedMs(start);
}
