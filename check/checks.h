/* The one table of checks: each one's name, what it checks and what runs
 * it. The run, --only, the report and the usage text all read it. */
#ifndef NOVRA_CHECK_CHECKS_H
#define NOVRA_CHECK_CHECKS_H

#include "check/check_context.h"

struct CheckInfo {
    const char *name;
    const char *what;
    void (*run)(CheckContext *context);   /* one runner may judge several checks */
};

/* Indexed by CheckId. */
extern const CheckInfo checkTable[CHECK_COUNT];

/* The check named by the `length` characters at `name`; CHECK_COUNT when none is. */
CheckId FindCheck(const char *name, size_t length);

/* Runs the checks the context asks for against its saver, each runner
 * once. 1 when they ran; 0 when the saver could not be started at all
 * (startError tells why). */
int RunChecks(CheckContext *context);

#endif
