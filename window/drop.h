/* Files dropped on the main window from a file manager. */
#ifndef NOVRA_DROP_H
#define NOVRA_DROP_H

#include <stddef.h>
#include <windows.h>
#include <shellapi.h>

/* The first dropped file whose extension is ".scr" (in any case) into
 * `path`; 1 when there is one that fits, 0 otherwise. Releases the drop. */
int TakeDroppedSaver(HDROP drop, char *path, size_t size);

#endif
