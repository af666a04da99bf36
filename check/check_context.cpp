#include "check_context.h"

#include <stdarg.h>
#include <stdio.h>

#include "host/exit_code.h"

/* How long a crash handler is given to let the saver go, so that its
 * exception's code can be read: Wine's debugger first prints a report. */
#define HANDLER_WAIT_MS 5000

int IsWanted(const CheckContext *context, CheckId id)
{
    return context->wanted[id];
}

void Record(CheckContext *context, CheckId id, Verdict verdict, const char *figure, const char *why, ...)
{
    CheckResult *result = &context->results[id];
    va_list list;

    if (IsWanted(context, id) != 1)
        return;
    result->verdict = verdict;
    snprintf(result->figure, sizeof(result->figure), "%s", figure);
    va_start(list, why);
    vsnprintf(result->why, sizeof(result->why), why, list);
    va_end(list);
}

int StartRun(CheckContext *context, SaverRun *run, const char *switchText, HWND host)
{
    if (StartSaverRun(run, context->path, switchText, host) == 1)
        return 1;
    context->startFailed = 1;
    context->startError = run->startError;
    return 0;
}

void FinishRun(CheckContext *context, SaverRun *run, const char *switchText)
{
    EndSaverRun(run);
    context->runs++;
    context->watchedRuns += run->watched;
    if (run->orphans > 0 && context->orphans == 0)
        snprintf(context->orphanRun, sizeof(context->orphanRun), "%s", switchText);
    context->orphans += run->orphans;
}

int DescribeBadEnd(SaverRun *run, char *why, size_t size)
{
    const char *name = "";
    EndKind kind;

    if (run->heldByHandler == 1)
        WaitSaverEnd(run, HANDLER_WAIT_MS);
    kind = run->exitCode != STILL_ACTIVE ? ReadExitCode(run->exitCode, &name) : END_EXIT;

    if (kind == END_CRASH)
        snprintf(why, size, "crashed: 0x%08lX, %s", run->exitCode, name);
    else if (run->heldByHandler == 1)
        snprintf(why, size, "crashed: the platform's crash handler held it");
    else if (kind == END_LOADER)
        snprintf(why, size, "could not start: 0x%08lX, %s", run->exitCode, name);
    return kind != END_EXIT || run->heldByHandler == 1;
}

void DescribeMissing(SaverRun *run, HWND host, const char *wanted, char *why, size_t size)
{
    WaitSaverEnd(run, 0);
    if (DescribeBadEnd(run, why, size) == 1)
        return;
    if (run->exitCode != STILL_ACTIVE)
        snprintf(why, size, "ended with code 0x%lX without a %s", run->exitCode, wanted);
    else if (host != NULL && FindSaverWindow(run, WINDOW_TOPLEVEL, host) != NULL)
        snprintf(why, size, "made a top-level window, not a %s", wanted);
    else
        snprintf(why, size, "no %s within %d ms", wanted, WINDOW_WAIT_MS);
}

/* A run that was not in the job could have left anything behind unseen:
 * that is no pass, nor is a verdict over no run at all. */
void CheckOrphans(CheckContext *context)
{
    char figure[32];

    snprintf(figure, sizeof(figure), "%d run%s", context->runs, context->runs == 1 ? "" : "s");
    if (context->orphans > 0)
        Record(context, CHECK_ORPHANS, VERDICT_FAIL, figure,
               "%lu process(es) the saver started still ran a second after it ended (first after %s)",
               context->orphans, context->orphanRun);
    else if (context->runs == 0)
        Record(context, CHECK_ORPHANS, VERDICT_WARN, figure, "could not watch: no run of the saver was made");
    else if (context->watchedRuns < context->runs)
        Record(context, CHECK_ORPHANS, VERDICT_WARN, figure, "could not watch %d of %d runs: no job could hold them",
               context->runs - context->watchedRuns, context->runs);
    else
        Record(context, CHECK_ORPHANS, VERDICT_PASS, figure, "");
}
