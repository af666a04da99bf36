/* A check's trial: its runs of the saver and its verdict on them. One
 * runner holds what all share: the host, the start, the wait for the window
 * wanted, the verdict on a run that ended badly or showed no such window,
 * and the run's end and counts. A trial says only what it starts, what it
 * waits for and how it judges. */
#ifndef NOVRA_CHECK_TRIAL_H
#define NOVRA_CHECK_TRIAL_H

#include "check/saver_run.h"

enum Verdict {
    VERDICT_NONE,   /* not asked for, or not reached */
    VERDICT_PASS,
    VERDICT_WARN,
    VERDICT_FAIL
};

#define HOST_WIDTH 320
#define HOST_HEIGHT 240
#define WINDOW_WAIT_MS 2000
#define TRIAL_RUNS 2

struct CheckResult {
    Verdict verdict;
    char why[256];     /* empty for a pass */
    char figure[64];   /* what was measured, e.g. "85 ms"; may be empty */
    DWORD elapsedMs;   /* how long the trial took */
};

/* What the runs of one saver share: its path and the counts over them. */
struct RunTally {
    const char *path;
    int runs;
    int watchedRuns;    /* runs whose processes the job could count */
    DWORD orphans;
    char orphanRun[24]; /* the switch of the first run that left one */
    int startFailed;
    DWORD startError;
};

struct TrialRun {
    RunTally *tally;
    const TrialRun *previous;   /* the trial's run before this one, or NULL */
    char path[MAX_PATH];        /* what the saver was started from */
    SaverRun saver;
    HWND host;                  /* the preview's parent or the settings' owner */
    HWND front;                 /* a window of the checker's in front of the host */
    HWND window;                /* what the trial waited for; NULL when none came */
    DWORD windowTick;           /* when it came */
    int inputs;                 /* inputs sent to it */
    DWORD endMs;                /* after the window, when it ended in the trial; 0: it did not */
    CheckResult result;
};

struct Trial {
    const char *switches[TRIAL_RUNS];   /* a run per switch */
    SIZE host;                  /* the host's client area; cx -1: no host */
    WindowKind waitFor;
    DWORD waitMs;
    Verdict missing;            /* when that window does not come; NONE: none is needed */
    Verdict partly;             /* when some runs pass and others fail */
    /* Starts the saver; NULL: from its own path. 1 when started. */
    int (*start)(TrialRun *run, const char *switchText);
    /* Acts on the run and records its verdict, unless the run ends badly
     * or misses its window; without switches, judges the runs made. */
    void (*judge)(TrialRun *run);
};

#define PREVIEW_HOST {HOST_WIDTH, HOST_HEIGHT}
#define NO_HOST {-1, -1}

/* Runs the trial and merges its runs' verdicts into `result`. When the
 * saver cannot be started the trial stops (tally->startFailed). */
void RunTrial(RunTally *tally, const Trial *trial, CheckResult *result);

/* Starts the saver from `path`, given the run's host unless it is NULL. */
int StartTrialSaver(TrialRun *run, const char *path, const char *switchText, HWND host);

/* Records the run's verdict; `figure` NULL keeps the one recorded; `why`
 * is a printf format, empty for a pass. */
void Record(TrialRun *run, Verdict verdict, const char *figure, const char *why, ...);

#endif
