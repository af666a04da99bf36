#include "recent.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>
#include <commdlg.h>

#include "res/resource.h"
#include "settings/path.h"

/* The record sizes of the older systems: Windows 2000 added members to
 * both, and the shorter forms are understood everywhere. */
#define MENUITEMINFO_SIZE_V4    44
#define OPENFILENAME_SIZE_V4    76

static const char SAVER_FILTER[] = "SCREEN SAVER FILE (*.scr)\0 *.scr\0";

void RecentMenuText(char *buffer, const char *path)
{
    PathParts parts;

    SplitPath(path, &parts);
    snprintf(buffer, PATH_BUFFER, "%s%s", parts.name, parts.extension);
}

void RebuildRecentMenu(void)
{
    ViewerState *state = GetState();
    /* Taken from the window, not from mainMenu: at creation this runs
     * before mainMenu is set. */
    HMENU file = GetSubMenu(GetMenu(state->mainWindow), 0);

    for (UINT id = IDM_RECENT_1; id <= IDM_RECENT_5; id++)
        DeleteMenu(file, id, MF_BYCOMMAND);

    /* The first empty slot ends the list, even if later slots hold paths. */
    for (int slot = 0; slot < RECENT_COUNT && state->recent[slot][0] != '\0'; slot++) {
        char caption[PATH_BUFFER];
        MENUITEMINFOA item;

        RecentMenuText(caption, state->recent[slot]);
        memset(&item, 0, sizeof(item));
        item.cbSize = MENUITEMINFO_SIZE_V4;
        item.fMask = MIIM_ID | MIIM_TYPE;
        item.fType = MFT_STRING;
        item.wID = IDM_RECENT_1 + slot;
        item.dwTypeData = caption;
        item.cch = (UINT)strlen(caption);
        InsertMenuItemA(file, RECENT_MENU_FIRST + slot, TRUE, &item);
    }
}

/* Slot 3 to 4, 2 to 3, 1 to 2, 0 to 1: the old slot 4 drops out. */
static void ShiftRecentDown(ViewerState *state)
{
    for (int slot = RECENT_COUNT - 1; slot > 0; slot--)
        memcpy(state->recent[slot], state->recent[slot - 1], PATH_BUFFER);
}

int ChooseSaverFile(ViewerState *state)
{
    char file[PATH_BUFFER];
    OPENFILENAMEA dialog;

    CopyText(file, sizeof(file), state->currentSaver);
    memset(&dialog, 0, sizeof(dialog));
    dialog.lStructSize = OPENFILENAME_SIZE_V4;
    dialog.hwndOwner = state->mainWindow;
    dialog.lpstrFilter = SAVER_FILTER;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_PATHMUSTEXIST;
    dialog.lpstrDefExt = "scr";
    if (GetOpenFileNameA(&dialog) != TRUE)
        return 0;

    ShiftRecentDown(state);
    CopyText(state->currentSaver, PATH_BUFFER, file);
    RebuildRecentMenu();
    return 1;
}

void PromoteRecent(const char *slot)
{
    ViewerState *state = GetState();
    char chosen[PATH_BUFFER];

    /* `slot` points into the list that the shift overwrites. */
    CopyText(chosen, sizeof(chosen), slot);
    ShiftRecentDown(state);
    CopyText(state->currentSaver, PATH_BUFFER, chosen);
}
