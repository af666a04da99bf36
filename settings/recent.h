/* The five recent savers (slot 0 is the current one), their entries at
 * the end of the File menu, and the open dialog that adds to them. */
#ifndef NOVRA_RECENT_H
#define NOVRA_RECENT_H

#include "app/state.h"

#define RECENT_MENU_FIRST   4   /* position of the first entry in File */

/* The entry's caption: the path's file name and extension. `buffer` must
 * hold PATH_BUFFER bytes. */
void RecentMenuText(char *buffer, const char *path);

void RebuildRecentMenu(void);

/* Shows the open dialog; on a choice the path becomes the current saver
 * and the menu is rebuilt. 1 when a file was chosen, 0 otherwise. */
int ChooseSaverFile(ViewerState *state);

/* Moves the text of one of the recent slots to the front of the list. */
void PromoteRecent(const char *slot);

#endif
