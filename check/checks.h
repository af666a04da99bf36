/* The one list of checks: a row each, its name, what it asks of the saver
 * and its trial. The count, --only, the usage text, the order of the runs
 * and of every report come from it. */
#ifndef NOVRA_CHECK_CHECKS_H
#define NOVRA_CHECK_CHECKS_H

#include "check/trial.h"

struct CheckRow {
    const char *name;
    const char *what;
    const Trial *trial;
};

/* The trials, each defined beside its checks' own code. */
extern const Trial previewWindowTrial;
extern const Trial previewCloseTrial;
extern const Trial emptyAreaTrial;
extern const Trial tinyAreaTrial;
extern const Trial pathBlankTrial;
extern const Trial previewCpuTrial;
extern const Trial settingsTrial;
extern const Trial coversTrial;
extern const Trial endsOnInputTrial;

/* checks.cpp asserts that the table has exactly this many rows. */
enum { CHECK_COUNT = 10 };

extern const CheckRow checkTable[];

/* One saver's call: which checks were asked for and their verdicts, by row. */
struct CheckContext {
    RunTally tally;
    int wanted[CHECK_COUNT];
    CheckResult results[CHECK_COUNT];
};

/* The row of the check named by the `length` characters at `name`; -1
 * when there is none. */
int FindCheck(const char *name, size_t length);

/* Runs the trials of the checks asked for, in the table's order. 1 when
 * they ran; 0 when the saver could not be started (tally.startError). */
int RunChecks(CheckContext *context);

#endif
