/* The installed savers' popup in the Operation menu, built afresh each
 * time it opens: one entry per saver, the system's own checked. */
#ifndef NOVRA_INSTALLED_MENU_H
#define NOVRA_INSTALLED_MENU_H

#include <windows.h>

#define OPERATION_MENU              1   /* position of Operation in the bar */
#define INSTALLED_MENU_POSITION     7   /* position of the popup in Operation */

/* The entry's caption: the saver's name, its ampersands doubled so that
 * none underlines the letter after it. `buffer` must hold twice
 * SAVER_NAME_BUFFER bytes. */
void InstalledMenuText(char *buffer, const char *name);

/* Lists the installed savers and replaces the popup's entries by theirs,
 * or by one greyed "(なし)" when there are none. */
void RebuildInstalledMenu(HMENU popup);

#endif
