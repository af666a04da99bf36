#include "system_saver.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "app/state.h"
#include "settings/path.h"

static const char DESKTOP_KEY[] = "Control Panel\\Desktop";
static const char SAVER_VALUE[] = "SCRNSAVE.EXE";

int NativeSystemFolder(char *buffer, size_t size)
{
    char windows[MAX_PATH];
    BOOL wow64 = FALSE;

    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        return 0;
    UINT length = GetSystemWindowsDirectoryA(windows, sizeof(windows));
    if (length == 0 || length >= sizeof(windows))
        return 0;
    int written = snprintf(buffer, size, "%s\\Sysnative", windows);
    return written > 0 && (size_t)written < size;
}

/* The two system folders of 64-bit Windows, as a 32-bit viewer names
 * them and as the system does, in the same order: the viewer's "Sysnative"
 * is the system's "system32", and the viewer's "system32" (redirected) is
 * the system's "SysWOW64". */
struct SystemFolders {
    char viewer[2][MAX_PATH];
    char system[2][MAX_PATH];
};

/* 1 only where the names differ, for a 32-bit viewer on 64-bit Windows. */
static int RedirectedFolders(SystemFolders *folders)
{
    if (NativeSystemFolder(folders->viewer[0], MAX_PATH) != 1)
        return 0;
    UINT system = GetSystemDirectoryA(folders->system[0], MAX_PATH);
    UINT wow64 = GetSystemWow64DirectoryA(folders->system[1], MAX_PATH);
    if (system == 0 || system >= MAX_PATH || wow64 == 0 || wow64 >= MAX_PATH)
        return 0;
    memcpy(folders->viewer[1], folders->system[0], MAX_PATH);
    return 1;
}

/* `path` under the other name of the folder it lies in, when it lies in
 * one of `from`; otherwise as it is. 0 when the result does not fit. */
static int Rename(const char *path, const char (*from)[MAX_PATH], const char (*to)[MAX_PATH], char *buffer,
                  size_t size)
{
    for (int folder = 0; folder < 2; folder++) {
        int length = (int)strlen(from[folder]);
        if ((int)strlen(path) <= length || path[length] != '\\' ||
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path, length, from[folder], length) != CSTR_EQUAL)
            continue;
        int written = snprintf(buffer, size, "%s%s", to[folder], path + length);
        return written > 0 && (size_t)written < size;
    }
    return CopyText(buffer, size, path);
}

/* The registry names the system folders as the system itself sees them. */
static int ViewerName(const char *path, char *buffer, size_t size)
{
    SystemFolders folders;

    if (RedirectedFolders(&folders) != 1)
        return CopyText(buffer, size, path);
    return Rename(path, folders.system, folders.viewer, buffer, size);
}

static int SystemName(const char *path, char *buffer, size_t size)
{
    SystemFolders folders;

    if (RedirectedFolders(&folders) != 1)
        return CopyText(buffer, size, path);
    return Rename(path, folders.viewer, folders.system, buffer, size);
}

int ReadSystemSaver(char *path, size_t size)
{
    char value[PATH_BUFFER];
    char viewer[PATH_BUFFER];
    DWORD bytes = sizeof(value);

    /* A REG_EXPAND_SZ value comes expanded, as REG_SZ. */
    LONG error = RegGetValueA(HKEY_CURRENT_USER, DESKTOP_KEY, SAVER_VALUE, RRF_RT_REG_SZ, NULL, value, &bytes);
    if (error != ERROR_SUCCESS || value[0] == '\0')
        return 0;
    if (ViewerName(value, viewer, sizeof(viewer)) != 1)
        return 0;
    /* The control panel writes the short form of a path with a blank. */
    DWORD length = GetLongPathNameA(viewer, path, (DWORD)size);
    if (length > 0 && length < size)
        return 1;
    return CopyText(path, size, viewer);
}

/* The system starts the saver from this value without quotation marks, so
 * a path with a blank goes in its short form. Where the volume keeps no
 * short names the path stays as it is, as the control panel leaves it. */
static int SystemSaverValue(const char *path, char *value, size_t size)
{
    char shortPath[PATH_BUFFER];

    if (strchr(path, ' ') == NULL)
        return SystemName(path, value, size);
    DWORD length = GetShortPathNameA(path, shortPath, sizeof(shortPath));
    if (length == 0)
        return 0;
    if (length >= sizeof(shortPath)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    return SystemName(shortPath, value, size);
}

/* Both values are written through one open key, so a key that can be
 * opened for writing takes both; SystemParametersInfo then tells the
 * running programs, as the control panel does. */
int MakeSystemSaver(const char *path)
{
    char value[PATH_BUFFER];
    HKEY key;

    if (SystemSaverValue(path, value, sizeof(value)) != 1)
        return 0;
    LONG error = RegOpenKeyExA(HKEY_CURRENT_USER, DESKTOP_KEY, 0, KEY_SET_VALUE, &key);
    if (error == ERROR_SUCCESS) {
        error = RegSetValueExA(key, SAVER_VALUE, 0, REG_SZ, (const BYTE *)value, (DWORD)strlen(value) + 1);
        if (error == ERROR_SUCCESS)
            error = RegSetValueExA(key, "ScreenSaveActive", 0, REG_SZ, (const BYTE *)"1", 2);
        RegCloseKey(key);
    }
    if (error != ERROR_SUCCESS) {
        SetLastError((DWORD)error);
        return 0;
    }
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, NULL, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    return 1;
}
