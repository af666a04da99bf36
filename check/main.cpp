/* novracheck: runs screen savers through the conventions their hosts rely
 * on, in windows of its own, and prints a verdict per check and saver. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "check/checks.h"
#include "check/report.h"

#define EXIT_USAGE 2

struct SaverList {
    char paths[SAVER_LIMIT][MAX_PATH];
    int count;
};

static int Usage(const char *problem)
{
    if (problem != NULL)
        fprintf(stderr, "novracheck: %s\n", problem);
    fprintf(stderr, "usage: novracheck [--json] [--junit FILE] [--only NAME[,NAME...]] SAVER.scr|FOLDER...\n"
                    "checks:\n");
    for (int row = 0; row < CHECK_COUNT; row++)
        fprintf(stderr, "  %-25s %s\n", checkTable[row].name, checkTable[row].what);
    return EXIT_USAGE;
}

static int StartError(const char *path, const char *why)
{
    fprintf(stderr, "novracheck: %s: %s\n", path, why);
    return EXIT_USAGE;
}

static int ParseOnly(const char *list, int *wanted, char *problem, size_t size)
{
    const char *item = list;

    ZeroMemory(wanted, sizeof(int) * CHECK_COUNT);
    for (;;) {
        const char *end = strchr(item, ',');
        size_t length = end != NULL ? (size_t)(end - item) : strlen(item);
        int row = FindCheck(item, length);

        if (row < 0) {
            snprintf(problem, size, "unknown check '%.*s'", (int)length, item);
            return 0;
        }
        wanted[row] = 1;
        if (end == NULL)
            return 1;
        item = end + 1;
    }
}

static int AddSaver(SaverList *list, const char *path, char *problem, size_t size)
{
    if (list->count >= SAVER_LIMIT) {
        snprintf(problem, size, "more than %d savers", SAVER_LIMIT);
        return 0;
    }
    snprintf(list->paths[list->count], MAX_PATH, "%s", path);
    list->count++;
    return 1;
}

static int ComparePaths(const void *first, const void *second)
{
    return lstrcmpiA((const char *)first, (const char *)second);
}

/* Every saver of a folder, sorted: a listing comes in the file system's order.
 * The name is checked again, since a pattern also matches short names. */
static int AddFolder(SaverList *list, const char *folder, char *problem, size_t size)
{
    char path[MAX_PATH];
    WIN32_FIND_DATAA found;
    HANDLE search = INVALID_HANDLE_VALUE;
    int before = list->count;
    int added = 1;

    if (snprintf(path, sizeof(path), "%s\\*.scr", folder) < (int)sizeof(path))
        search = FindFirstFileA(path, &found);
    while (search != INVALID_HANDLE_VALUE && added == 1) {
        const char *dot = strrchr(found.cFileName, '.');

        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && dot != NULL && lstrcmpiA(dot, ".scr") == 0 &&
            snprintf(path, sizeof(path), "%s\\%s", folder, found.cFileName) < MAX_PATH)
            added = AddSaver(list, path, problem, size);
        if (!FindNextFileA(search, &found))
            break;
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    if (added == 1 && list->count == before)
        snprintf(problem, size, "a folder without savers (.scr files)");
    qsort(list->paths[before], list->count - before, MAX_PATH, ComparePaths);
    return added == 1 && list->count > before;
}

/* A saver or a folder that is there and fits in MAX_PATH once made full. */
static int AddPath(SaverList *list, const char *path, char *problem, size_t size)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path, MAX_PATH, full, NULL);
    DWORD attributes;

    if (strlen(path) >= MAX_PATH || length == 0 || length >= MAX_PATH) {
        snprintf(problem, size, "the path is too long (at most 259 characters)");
        return 0;
    }
    attributes = GetFileAttributesA(full);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        snprintf(problem, size, "no such file");
        return 0;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return AddFolder(list, full, problem, size);
    return AddSaver(list, full, problem, size);
}

/* Inherited by the savers on Windows: a crash ends one with the exception's
 * code rather than waiting on the system's crash dialog. */
static int CheckSavers(const SaverList *list, const int *wanted, int json, const char *junitPath)
{
    static Reports reports;
    CheckContext context;
    int worst = 0;
    int code;

    if (BeginReports(&reports, json, junitPath) != 1)
        return StartError(junitPath, "cannot write the JUnit file");
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    /* The full-screen saver must be able to take the keyboard. */
    AllowSetForegroundWindow(ASFW_ANY);
    for (int index = 0; index < list->count; index++) {
        ZeroMemory(&context, sizeof(context));
        context.tally.path = list->paths[index];
        memcpy(context.wanted, wanted, sizeof(context.wanted));
        RunChecks(&context);
        code = Report(&reports, &context);
        worst = code > worst ? code : worst;
    }
    EndReports(&reports);
    return worst;
}

int main(int argc, char **argv)
{
    static SaverList list;
    int wanted[CHECK_COUNT];
    char problem[96];
    const char *junitPath = NULL;
    int json = 0;

    for (int row = 0; row < CHECK_COUNT; row++)
        wanted[row] = 1;
    for (int index = 1; index < argc; index++) {
        if (strcmp(argv[index], "--json") == 0)
            json = 1;
        else if (strcmp(argv[index], "--junit") == 0 && index + 1 < argc)
            junitPath = argv[++index];
        else if (strcmp(argv[index], "--only") == 0 && index + 1 < argc) {
            if (ParseOnly(argv[++index], wanted, problem, sizeof(problem)) != 1)
                return Usage(problem);
        } else if (argv[index][0] == '-')
            return Usage(NULL);
        else if (AddPath(&list, argv[index], problem, sizeof(problem)) != 1)
            return StartError(argv[index], problem);
    }
    if (list.count == 0)
        return Usage(NULL);
    return CheckSavers(&list, wanted, json, junitPath);
}
