/* How a saver's exit code reads: a crash, named by its exception; a failure
 * of the loader before the saver ran at all; or a plain exit code. One
 * table for the viewer's notice (Japanese names, from the string table)
 * and the checker's report (English names). */
#ifndef NOVRA_EXIT_CODE_H
#define NOVRA_EXIT_CODE_H

#include <windows.h>

enum EndKind {
    END_EXIT,     /* the saver's own exit code, exit(-1) included */
    END_CRASH,    /* an exception nothing handled */
    END_LOADER    /* the loader could not start it (a missing DLL ...) */
};

struct ExitCodeName {
    DWORD code;
    EndKind kind;
    const char *name;   /* English, for the checker */
    UINT nameText;      /* the viewer's string-table entry of the same name */
};

/* The row of an exception or loader code; NULL for a plain exit code. */
const ExitCodeName *FindExitCode(DWORD code);

/* The kind of end, and for a crash or a loader failure its English name
 * ("integer division by zero"); *name is "" for a plain exit. */
EndKind ReadExitCode(DWORD code, const char **name);

#endif
