/* The checks of the screen-saver conventions a host relies on, each run
 * in the checker's own host windows with every wait bounded. */
#ifndef NOVRA_CHECK_CHECKS_H
#define NOVRA_CHECK_CHECKS_H

#include "check/report.h"

/* Runs the checks asked for in `report` against the saver at `path` (a
 * full path). 1 when they ran; 0 when the saver could not be started at
 * all (GetLastError tells why). */
int RunChecks(Report *report, const char *path);

#endif
