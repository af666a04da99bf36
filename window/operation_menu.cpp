#include "operation_menu.h"

#include "app/state.h"
#include "res/resource.h"
#include "settings/installed_menu.h"
#include "settings/saver_folder.h"

/* The folder is read again each time: savers come and go while the viewer
 * runs. */
static void EnableSaverCommands(HMENU operation)
{
    ViewerState *state = GetState();
    char neighbour[PATH_BUFFER];
    int another = FindNeighbourSaver(state->currentSaver, 1, neighbour, sizeof(neighbour));
    UINT browse = another == 1 ? MF_ENABLED : MF_GRAYED;
    UINT chosen = state->currentSaver[0] != '\0' ? MF_ENABLED : MF_GRAYED;

    EnableMenuItem(operation, IDM_NEXT_SAVER, MF_BYCOMMAND | browse);
    EnableMenuItem(operation, IDM_PREVIOUS_SAVER, MF_BYCOMMAND | browse);
    EnableMenuItem(operation, IDM_SET_SYSTEM_SAVER, MF_BYCOMMAND | chosen);
}

void UpdateMenuPopup(HMENU popup)
{
    HMENU operation = GetSubMenu(GetState()->mainMenu, OPERATION_MENU);

    if (popup == operation)
        EnableSaverCommands(operation);
    else if (popup == GetSubMenu(operation, INSTALLED_MENU_POSITION))
        RebuildInstalledMenu(popup);
}
