#include "saver_folder.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>
#include <shlwapi.h>

#include "settings/path.h"

/* A file name with its wide form, which Explorer's order compares. */
struct FolderName {
    char name[MAX_PATH];
    WCHAR wide[MAX_PATH];
};

static int TakeName(FolderName *entry, const char *name)
{
    if (CopyText(entry->name, sizeof(entry->name), name) != 1)
        return 0;
    return MultiByteToWideChar(CP_ACP, 0, name, -1, entry->wide, MAX_PATH) > 0;
}

/* Explorer's order, made total: two names it holds equal ("saver1" and
 * "saver01") are told apart plainly, so that each comes in its turn. */
static int CompareNames(const FolderName *a, const FolderName *b)
{
    int order = StrCmpLogicalW(a->wide, b->wide);

    return order != 0 ? order : lstrcmpiA(a->name, b->name);
}

/* `best` becomes `entry` when it has none yet or `entry` comes first in the
 * direction of `step`. */
static void KeepFirst(FolderName *best, const FolderName *entry, int step)
{
    if (best->name[0] == '\0' || step * CompareNames(entry, best) < 0)
        *best = *entry;
}

/* One pass over the folder: the first saver past the current one in the
 * direction of `step`, and the first of all, which the step wraps to. */
int FindNeighbourSaver(const char *current, int step, char *path, size_t size)
{
    int folder = (int)(FindFileName(current) - current);
    char pattern[MAX_PATH + 8];
    FolderName self;
    FolderName entry;
    FolderName next;
    FolderName first;
    WIN32_FIND_DATAA found;
    int selfFound = 0;

    if (current[0] == '\0' || TakeName(&self, current + folder) != 1)
        return 0;
    if (snprintf(pattern, sizeof(pattern), "%.*s*.scr", folder, current) >= (int)sizeof(pattern))
        return 0;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    next.name[0] = '\0';
    first.name[0] = '\0';
    do {
        /* The pattern also matches longer extensions through short names. */
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || IsSaverPath(found.cFileName) != 1)
            continue;
        if (TakeName(&entry, found.cFileName) != 1)
            continue;
        if (lstrcmpiA(entry.name, self.name) == 0) {
            selfFound = 1;
            continue;
        }
        if (step * CompareNames(&entry, &self) > 0)
            KeepFirst(&next, &entry, step);
        KeepFirst(&first, &entry, step);
    } while (FindNextFileA(search, &found));
    FindClose(search);

    const FolderName *chosen = next.name[0] != '\0' ? &next : &first;
    if (selfFound != 1 || chosen->name[0] == '\0')
        return 0;
    int length = snprintf(path, size, "%.*s%s", folder, current, chosen->name);
    return length > 0 && (size_t)length < size;
}
