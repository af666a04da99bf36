/* The five recent savers, newest first; slot 0 is the current saver. */
#ifndef NOVRA_RECENT_H
#define NOVRA_RECENT_H

/* Puts a chosen path in front. A path already in the list moves there
 * from its slot, the slots before it shifting down by one; any other
 * shifts the whole list down, and the last path drops out. */
void AddRecent(const char *path);

/* Moves the text of one of the recent slots to the front of the list. */
void PromoteRecent(const char *slot);

#endif
