/* The checker's reports: each saver's verdicts in the table's order, one
 * line per check, or all savers in one JSON document; then a summary line
 * per saver. */
#ifndef NOVRA_CHECK_REPORT_H
#define NOVRA_CHECK_REPORT_H

#include "check/checks.h"

#define SAVER_LIMIT 64

struct SaverSummary {
    char name[MAX_PATH];   /* the file name */
    int counts[VERDICT_FAIL + 1];
    int started;
    DWORD startError;
};

struct Reports {
    int json;
    int printed;           /* savers reported on the output so far */
    int count;
    SaverSummary summaries[SAVER_LIMIT];
};

void BeginReports(Reports *reports, int json);

/* Reports one saver, or why it could not be started. Its exit code: 2 when
 * it was not started, 1 when a check failed, else 0. */
int Report(Reports *reports, const CheckContext *context);

void EndReports(Reports *reports);

#endif
