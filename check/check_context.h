/* What the checks of one saver share: which were asked for, the verdicts
 * so far and the counts over all its runs; starting and finishing a run
 * with those counts kept, and saying why a run went wrong. */
#ifndef NOVRA_CHECK_CHECK_CONTEXT_H
#define NOVRA_CHECK_CHECK_CONTEXT_H

#include "check/saver_run.h"

/* The checks, in the order they run and are reported; checks.cpp holds
 * their names, what each checks and what runs it. */
enum CheckId {
    CHECK_PREVIEW_WINDOW,
    CHECK_PREVIEW_CLOSE,
    CHECK_EMPTY_AREA,
    CHECK_TINY_AREA,
    CHECK_PATH_BLANK,
    CHECK_PREVIEW_CPU,
    CHECK_SETTINGS_OWNED,
    CHECK_COVERS,
    CHECK_ENDS_ON_INPUT,
    CHECK_ORPHANS,
    CHECK_COUNT
};

enum Verdict {
    VERDICT_NONE,   /* not asked for, or not reached */
    VERDICT_PASS,
    VERDICT_WARN,
    VERDICT_FAIL
};

#define HOST_WIDTH 320
#define HOST_HEIGHT 240
#define WINDOW_WAIT_MS 2000

struct CheckResult {
    Verdict verdict;
    char why[160];     /* empty for a pass */
    char figure[64];   /* what was measured, e.g. "85 ms"; may be empty */
};

struct CheckContext {
    const char *path;   /* the saver, a full path */
    int wanted[CHECK_COUNT];
    CheckResult results[CHECK_COUNT];
    int runs;
    int watchedRuns;    /* runs whose processes the job could count */
    DWORD orphans;
    char orphanRun[24]; /* the switch of the first run that left one */
    int startFailed;
    DWORD startError;
};

int IsWanted(const CheckContext *context, CheckId id);

/* Records a verdict for a check that was asked for; `why` is a printf
 * format (empty for a pass). */
void Record(CheckContext *context, CheckId id, Verdict verdict, const char *figure, const char *why, ...);

/* A run of the saver; when it cannot start, the checks stop (startFailed,
 * with the error). */
int StartRun(CheckContext *context, SaverRun *run, const char *switchText, HWND host);

/* Ends the run and adds it, and what it left running, to the counts. */
void FinishRun(CheckContext *context, SaverRun *run, const char *switchText);

/* "crashed: 0xC0000094, integer division by zero", or why the loader
 * could not start it; 1 when the run ended so, 0 otherwise. A saver that
 * a crash handler holds is first given a while to end. */
int DescribeBadEnd(SaverRun *run, char *why, size_t size);

/* Why no window of the kind wanted ("child window of the host") appeared. */
void DescribeMissing(SaverRun *run, HWND host, const char *wanted, char *why, size_t size);

/* The verdict over all runs: orphans (fail), runs that could not be
 * watched (warn), or none. */
void CheckOrphans(CheckContext *context);

#endif
