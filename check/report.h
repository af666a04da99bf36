/* The checker's verdicts: one line per check, collected while the checks
 * run, and printed at the end as text or as one JSON document. */
#ifndef NOVRA_CHECK_REPORT_H
#define NOVRA_CHECK_REPORT_H

#define VERDICT_PASS 0
#define VERDICT_WARN 1
#define VERDICT_FAIL 2

#define RESULT_LIMIT 16

struct CheckResult {
    const char *name;
    int verdict;
    char why[160];     /* empty for a pass */
    char figure[64];   /* what was measured, e.g. "85 ms"; may be empty */
};

struct Report {
    const char *saver;
    const char *only;  /* comma-separated check names, or NULL for all */
    CheckResult results[RESULT_LIMIT];
    int count;
};

/* 1 when `name` is among the checks asked for. */
int IsWanted(const Report *report, const char *name);

/* Records a verdict unless the check was not asked for; `why` is a
 * printf format (empty for a pass). */
void AddResult(Report *report, const char *name, int verdict, const char *figure, const char *why, ...);

/* Prints the report; returns the exit code: 1 when a check failed, else 0. */
int PrintReport(const Report *report, int json);

#endif
