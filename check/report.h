/* The checker's output: each saver's verdicts in the table's order, one
 * line per check, or all savers in one JSON document; then a summary line
 * per saver. */
#ifndef NOVRA_CHECK_REPORT_H
#define NOVRA_CHECK_REPORT_H

#include "check/check_context.h"

struct SaverSummary {
    char name[MAX_PATH];   /* the file name */
    int counts[VERDICT_FAIL + 1];
    int started;
    DWORD startError;
};

void BeginReports(int json);

/* Prints one saver's report, or why it could not be started, and fills
 * its summary. Its exit code: 2 when it was not started, 1 when a check
 * failed, else 0. */
int PrintReport(const CheckContext *context, int json, int first, SaverSummary *summary);

void EndReports(int json, const SaverSummary *summaries, int count);

#endif
