/* How a saver's exit code reads: a crash, named by its exception; a
 * failure of the loader before the saver ran at all; or a plain exit. */
#ifndef NOVRA_CHECK_EXIT_CODE_H
#define NOVRA_CHECK_EXIT_CODE_H

#include <windows.h>

enum EndKind {
    END_EXIT,     /* the saver's own exit code */
    END_CRASH,    /* an exception nothing handled */
    END_LOADER    /* the loader could not start it (a missing DLL ...) */
};

/* The kind of end, and for a crash or a loader failure its name
 * ("integer division by zero"); *name is "" for a plain exit. */
EndKind ReadExitCode(DWORD code, const char **name);

#endif
