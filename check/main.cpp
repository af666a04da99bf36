/* novracheck: runs a screen saver through the conventions its hosts rely
 * on, in windows of its own, and prints a verdict per check. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "check/checks.h"

#define EXIT_START_ERROR 2

static int Usage(void)
{
    fprintf(stderr, "usage: novracheck [--json] [--only NAME[,NAME...]] SAVER.scr\n");
    return EXIT_START_ERROR;
}

static int StartError(const char *path, const char *why)
{
    fprintf(stderr, "novracheck: %s: %s\n", path, why);
    return EXIT_START_ERROR;
}

/* The saver must be a file that is there and fits in MAX_PATH once made full. */
static int CheckSaverPath(const char *path, char *full)
{
    DWORD length = GetFullPathNameA(path, MAX_PATH, full, NULL);
    DWORD attributes;

    if (strlen(path) >= MAX_PATH || length == 0 || length >= MAX_PATH)
        return StartError(path, "the path is too long (at most 259 characters)");
    attributes = GetFileAttributesA(full);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return StartError(path, "no such file");
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return StartError(path, "a folder, not a saver");
    return 0;
}

int main(int argc, char **argv)
{
    Report report;
    char full[MAX_PATH];
    char why[64];
    const char *path = NULL;
    int json = 0;

    ZeroMemory(&report, sizeof(report));
    for (int index = 1; index < argc; index++) {
        if (strcmp(argv[index], "--json") == 0)
            json = 1;
        else if (strcmp(argv[index], "--only") == 0 && index + 1 < argc)
            report.only = argv[++index];
        else if (argv[index][0] == '-' || path != NULL)
            return Usage();
        else
            path = argv[index];
    }
    if (path == NULL)
        return Usage();
    if (CheckSaverPath(path, full) != 0)
        return EXIT_START_ERROR;
    report.saver = full;
    /* Inherited by the saver: a crash ends it with the exception's code
     * rather than waiting on the system's crash dialog. */
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    /* The full-screen saver must be able to take the keyboard. */
    AllowSetForegroundWindow(ASFW_ANY);
    if (RunChecks(&report, full) != 1) {
        snprintf(why, sizeof(why), "not a program Windows can start (error %lu)", GetLastError());
        return StartError(path, why);
    }
    return PrintReport(&report, json);
}
