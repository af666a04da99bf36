#include "checks.h"

#include <stdio.h>
#include <string.h>

/* A run that the job could not hold could have left anything behind
 * unseen: that is no pass. */
static void JudgeOrphans(TrialRun *run)
{
    const RunTally *tally = run->tally;
    char figure[32];

    snprintf(figure, sizeof(figure), "%d run%s", tally->runs, tally->runs == 1 ? "" : "s");
    if (tally->orphans > 0)
        Record(run, VERDICT_FAIL, figure,
               "%lu process(es) the saver started still ran a second after it ended (first after %s)",
               tally->orphans, tally->orphanRun);
    else if (tally->watchedRuns < tally->runs)
        Record(run, VERDICT_WARN, figure, "could not watch %d of %d runs: no job could hold them",
               tally->runs - tally->watchedRuns, tally->runs);
    else
        Record(run, VERDICT_PASS, figure, "");
}

/* No runs of its own: it judges those of the checks before it. */
static const Trial orphansTrial = {{NULL}, NO_HOST, WINDOW_CHILD, 0, VERDICT_NONE, VERDICT_NONE, NULL, JudgeOrphans};

const CheckRow checkTable[] = {
    {"preview.window", "a child window of the host that fills its client area", &previewWindowTrial},
    {"preview.close", "the preview ends within 500 ms of WM_CLOSE", &previewCloseTrial},
    {"preview.empty_area", "a 0x0 preview runs a second without a crash or an error box", &emptyAreaTrial},
    {"preview.tiny_area", "so does a 1x1 preview", &tinyAreaTrial},
    {"preview.path_blank", "a preview from a quoted path with a blank", &pathBlankTrial},
    {"preview.cpu", "the preview's processor time over 3 s; above half a core warns", &previewCpuTrial},
    {"settings.owned", "the settings window is owned by the window given with /c and /c:", &settingsTrial},
    {"fullscreen.covers", "a full-screen window covers every monitor", &coversTrial},
    {"fullscreen.ends_on_input", "the full screen ends on a key, and on a mouse move", &endsOnInputTrial},
    {"orphans", "nothing the saver starts runs on a second after it ended", &orphansTrial},
};
static_assert(sizeof(checkTable) / sizeof(checkTable[0]) == CHECK_COUNT, "CHECK_COUNT is the table's row count");

int FindCheck(const char *name, size_t length)
{
    for (int row = 0; row < CHECK_COUNT; row++) {
        if (strlen(checkTable[row].name) == length && strncmp(checkTable[row].name, name, length) == 0)
            return row;
    }
    return -1;
}

/* Every call starts the saver, so that a start error is never missed: a
 * trial over the runs made, asked for alone, first has the first row's
 * trial make one, unreported. */
int RunChecks(CheckContext *context)
{
    CheckResult unreported;

    for (int row = 0; row < CHECK_COUNT && context->tally.startFailed != 1; row++) {
        const Trial *trial = checkTable[row].trial;

        if (context->wanted[row] != 1)
            continue;
        if (trial->switches[0] == NULL && context->tally.runs == 0)
            RunTrial(&context->tally, checkTable[0].trial, &unreported);
        RunTrial(&context->tally, trial, &context->results[row]);
    }
    return context->tally.startFailed != 1;
}
