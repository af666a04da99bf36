#include "recent_menu.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "app/state.h"
#include "res/resource.h"
#include "settings/path.h"

/* The record as Windows 95 and NT 4 knew it, without the member that
 * Windows 2000 added: every version understands this size. */
#define MENUITEMINFO_SIZE_V4 offsetof(MENUITEMINFOA, hbmpItem)
#ifndef _WIN64
static_assert(MENUITEMINFO_SIZE_V4 == 44, "the 32-bit record is 44 bytes long");
#endif

void RecentMenuText(char *buffer, const char *path)
{
    PathParts parts;

    SplitPath(path, &parts);
    snprintf(buffer, PATH_BUFFER, "%s%s", parts.name, parts.extension);
}

void RebuildRecentMenu(void)
{
    ViewerState *state = GetState();
    /* The record's menu, not the window's: in full-screen-window mode the
     * bar is off the window. */
    HMENU file = GetSubMenu(state->mainMenu, 0);

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
