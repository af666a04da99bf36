/* The other savers in the current saver's folder, in the order Explorer
 * shows the folder: numbers in names compare by value, so "saver2.scr"
 * comes before "saver10.scr". */
#ifndef NOVRA_SAVER_FOLDER_H
#define NOVRA_SAVER_FOLDER_H

#include <stddef.h>

/* The saver after `current` in its folder (step 1) or before it (step -1),
 * wrapping at the ends, into `path`. 1 when there is one; 0 when the folder
 * cannot be read, `current` is not in it, or it holds no other saver. */
int FindNeighbourSaver(const char *current, int step, char *path, size_t size);

#endif
