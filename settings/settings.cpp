#include "settings.h"

#include <stdio.h>
#include <windows.h>

#include "app/state.h"
#include "settings/path.h"
#include "settings/window_place.h"

static const char WINDOW_SECTION[] = "WINDOW";
static const char SYSTEM_SECTION[] = "SYSTEM";
static const char *const SAVER_KEYS[RECENT_COUNT] = {
    "SCREENSAVER_1", "SCREENSAVER_2", "SCREENSAVER_3", "SCREENSAVER_4", "SCREENSAVER_5"
};

int SettingsPathOf(const char *program, char *buffer, size_t size)
{
    PathParts parts;

    SplitPath(program, &parts);
    int length = snprintf(buffer, size, "%s%s%s.ini", parts.drive, parts.directory, parts.name);
    return length > 0 && (size_t)length < size;
}

int SettingsFilePath(char *buffer, size_t size)
{
    char program[PATH_BUFFER];

    if (GetProgramPath(program, sizeof(program)) != 1)
        return 0;
    return SettingsPathOf(program, buffer, size);
}

static int ReadInt(const char *file, const char *section, const char *key, int fallback)
{
    /* The profile reader returns a UINT, but it parses a leading minus
     * sign: the cast gives back the signed value that was written. */
    return (int)GetPrivateProfileIntA(section, key, fallback, file);
}

static void WriteInt(const char *file, const char *section, const char *key, int value)
{
    char text[128];

    snprintf(text, sizeof(text), "%d", value);
    WritePrivateProfileStringA(section, key, text, file);
}

/* A value longer than a path is not one: cut, it would name some other
 * file, which would be started and written back. Read into a buffer well
 * beyond a path's length, so that any value the reader had to cut (which
 * may end short of the buffer's end, at a double-byte character) is still
 * seen as too long. A character no file name holds (a tab, a quotation
 * mark) would hand the rest of the value to the saver as its switches. */
static int ReadSaverPath(const char *file, int slot, char *path)
{
    char value[4 * PATH_BUFFER];
    DWORD length = GetPrivateProfileStringA(SYSTEM_SECTION, SAVER_KEYS[slot], "", value, sizeof(value), file);

    if (length == 0 || length >= PATH_BUFFER || IsSoundPath(value) != 1)
        return 0;
    return CopyText(path, PATH_BUFFER, value);
}

/* The menu lists the savers up to the first empty slot, and a new choice
 * pushes out the last slot: what was loaded moves up, in its order. */
static void LoadRecent(const char *file)
{
    ViewerState *state = GetState();
    int loaded = 0;

    for (int slot = 0; slot < RECENT_COUNT; slot++)
        loaded += ReadSaverPath(file, slot, state->recent[loaded]);
    for (int slot = loaded; slot < RECENT_COUNT; slot++)
        state->recent[slot][0] = '\0';
}

/* A place the user could not reach the window at is no stored place: the
 * window is centred instead, as on a first run. */
static void LoadWindowPlace(const char *file)
{
    ViewerState *state = GetState();

    state->windowX = ReadInt(file, WINDOW_SECTION, "X", -1);
    state->windowY = ReadInt(file, WINDOW_SECTION, "Y", -1);
    state->windowWidth = ReadInt(file, WINDOW_SECTION, "WIDTH", -1);
    state->windowHeight = ReadInt(file, WINDOW_SECTION, "HEIGHT", -1);
    if (state->windowWidth <= 0 || state->windowHeight <= 0)
        return;
    if (TakeReachablePlace(state->windowX, state->windowY, &state->windowWidth, &state->windowHeight) != 1)
        state->windowWidth = state->windowHeight = -1;
}

void LoadSettings(void)
{
    ViewerState *state = GetState();
    char file[SETTINGS_PATH_BUFFER];

    state->windowX = state->windowY = -1;
    state->windowWidth = state->windowHeight = -1;
    if (SettingsFilePath(file, sizeof(file)) != 1)
        return;

    LoadWindowPlace(file);
    state->alwaysOnTop = ReadInt(file, WINDOW_SECTION, "WIN_TOP", 0);
    state->startPlayState = ReadInt(file, SYSTEM_SECTION, "START_PLAY_STATE", 0);
    LoadRecent(file);
}

/* The rectangle to store for the window. A minimised window reports its
 * icon's place (about -32000, -32000); storing that would open the next
 * run off every screen, so its restored rectangle is stored instead. In
 * full-screen-window mode the window is the monitor: the next run would
 * open a framed window of the monitor's size, with the user's own
 * rectangle lost, so the one from before the mode is stored. */
static void StoredWindowRect(HWND window, RECT *rect)
{
    WINDOWPLACEMENT placement;
    MONITORINFO monitor;

    GetWindowRect(window, rect);
    if (GetState()->fullScreenWindow == 1)
        *rect = GetState()->savedWindowRect;
    if (!IsIconic(window))
        return;
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement))
        return;

    /* The normal position is in work-area coordinates of the window's own
     * monitor: shift it by that work area's offset to get screen
     * coordinates. The monitor comes from the window, not from the
     * unconverted rectangle, which may lie on another monitor. */
    *rect = placement.rcNormalPosition;
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        OffsetRect(rect, monitor.rcWork.left - monitor.rcMonitor.left,
                   monitor.rcWork.top - monitor.rcMonitor.top);
}

void SaveSettings(void)
{
    ViewerState *state = GetState();
    char file[SETTINGS_PATH_BUFFER];
    RECT rect;

    if (SettingsFilePath(file, sizeof(file)) != 1)
        return;
    StoredWindowRect(state->mainWindow, &rect);

    WriteInt(file, WINDOW_SECTION, "X", rect.left);
    WriteInt(file, WINDOW_SECTION, "Y", rect.top);
    WriteInt(file, WINDOW_SECTION, "WIDTH", rect.right - rect.left);
    WriteInt(file, WINDOW_SECTION, "HEIGHT", rect.bottom - rect.top);
    WriteInt(file, WINDOW_SECTION, "WIN_TOP", state->alwaysOnTop);
    WriteInt(file, SYSTEM_SECTION, "START_PLAY_STATE", state->startPlayState);
    for (int slot = 0; slot < RECENT_COUNT; slot++)
        WritePrivateProfileStringA(SYSTEM_SECTION, SAVER_KEYS[slot], state->recent[slot], file);
}
