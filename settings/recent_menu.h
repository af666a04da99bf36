/* The recent savers' entries at the end of the File menu. */
#ifndef NOVRA_RECENT_MENU_H
#define NOVRA_RECENT_MENU_H

#define RECENT_MENU_FIRST   4   /* position of the first entry in File */

/* The entry's caption: the path's file name and extension. `buffer` must
 * hold PATH_BUFFER bytes. */
void RecentMenuText(char *buffer, const char *path);

/* Replaces the entries by one per slot, up to the first empty slot. */
void RebuildRecentMenu(void);

#endif
