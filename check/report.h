/* The checker's reports: each saver's verdicts in the table's order, one
 * line per check, or all savers in one JSON document; then a summary line
 * per saver; and, when asked for, the same as a JUnit XML file, the form
 * that CI services and test dashboards read. */
#ifndef NOVRA_CHECK_REPORT_H
#define NOVRA_CHECK_REPORT_H

#include <stdio.h>

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
    FILE *junit;           /* NULL when none was asked for */
    int printed;           /* savers reported on the output so far */
    int count;
    SaverSummary summaries[SAVER_LIMIT];
};

/* 1 when ready; 0 when the JUnit file cannot be made. */
int BeginReports(Reports *reports, int json, const char *junitPath);

/* Reports one saver, or why it could not be started. Its exit code: 2 when
 * it was not started, 1 when a check failed, else 0. */
int Report(Reports *reports, const CheckContext *context);

void EndReports(Reports *reports);

#endif
