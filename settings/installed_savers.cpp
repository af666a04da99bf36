#include "installed_savers.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "app/state.h"
#include "settings/path.h"
#include "settings/system_saver.h"

#define FOLDER_COUNT 3

/* The resource string the Display control panel lists a saver by. */
#define DISPLAY_NAME_STRING 1

/* The saver's own name for itself, or its file name without the extension
 * (which it has: the file was listed as a saver).
 * Loaded as data: nothing of the saver runs, and a saver of the other
 * width loads as well. */
static void ReadDisplayName(const char *path, const char *fileName, char *name, size_t size)
{
    HMODULE module = LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE);
    char text[2 * SAVER_NAME_BUFFER] = "";

    if (module != NULL) {
        if (LoadStringA(module, DISPLAY_NAME_STRING, text, sizeof(text)) == 0)
            text[0] = '\0';
        FreeLibrary(module);
    }
    if (text[0] != '\0') {
        CopyText(name, size, text);
        return;
    }
    int base = (int)(strrchr(fileName, '.') - fileName);
    snprintf(text, sizeof(text), "%.*s", base, fileName);
    CopyText(name, size, text);
}

static int IsListed(const char *fileName)
{
    ViewerState *state = GetState();

    for (int entry = 0; entry < state->installedCount; entry++) {
        if (lstrcmpiA(FindFileName(state->installed[entry].path), fileName) == 0)
            return 1;
    }
    return 0;
}

/* By name, as the user's locale sorts; the same name by path. */
static int CompareSavers(const InstalledSaver *a, const InstalledSaver *b)
{
    int order = lstrcmpiA(a->name, b->name);

    return order != 0 ? order : lstrcmpiA(a->path, b->path);
}

/* Into its place by name; past the last place, it drops out, or the last
 * entry does. */
static void InsertSaver(const InstalledSaver *saver)
{
    ViewerState *state = GetState();
    int place = state->installedCount;

    while (place > 0 && CompareSavers(saver, &state->installed[place - 1]) < 0)
        place--;
    if (place >= INSTALLED_COUNT)
        return;
    int kept = state->installedCount < INSTALLED_COUNT ? state->installedCount : INSTALLED_COUNT - 1;
    memmove(&state->installed[place + 1], &state->installed[place], (size_t)(kept - place) * sizeof(*saver));
    state->installed[place] = *saver;
    state->installedCount = kept + 1;
}

static void ListFolder(const char *folder)
{
    char pattern[MAX_PATH + 8];
    WIN32_FIND_DATAA found;
    InstalledSaver saver;

    if (snprintf(pattern, sizeof(pattern), "%s\\*.scr", folder) >= (int)sizeof(pattern))
        return;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        /* The pattern also matches longer extensions through short names. */
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || IsSaverPath(found.cFileName) != 1)
            continue;
        if (IsListed(found.cFileName) == 1)
            continue;
        int length = snprintf(saver.path, sizeof(saver.path), "%s\\%s", folder, found.cFileName);
        if (length <= 0 || (size_t)length >= sizeof(saver.path))
            continue;
        ReadDisplayName(saver.path, found.cFileName, saver.name, sizeof(saver.name));
        InsertSaver(&saver);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

/* The real system folder first: of a saver in both widths, the one the
 * system itself runs is listed. */
void ListInstalledSavers(void)
{
    char folders[FOLDER_COUNT][MAX_PATH];
    int count = 0;

    if (NativeSystemFolder(folders[count], MAX_PATH) == 1)
        count++;
    UINT length = GetSystemDirectoryA(folders[count], MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        count++;
    length = GetSystemWindowsDirectoryA(folders[count], MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        count++;
    GetState()->installedCount = 0;
    for (int folder = 0; folder < count; folder++)
        ListFolder(folders[folder]);
}
