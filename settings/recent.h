/* The five recent savers, newest first; slot 0 is the current saver. */
#ifndef NOVRA_RECENT_H
#define NOVRA_RECENT_H

/* Puts a newly chosen path in front: slot 3 to 4, 2 to 3, 1 to 2, 0 to 1,
 * then the path into slot 0. The old slot 4 drops out; the path is not
 * looked for in the list, so it may stand there twice. */
void AddRecent(const char *path);

/* Moves the text of one of the recent slots to the front of the list. */
void PromoteRecent(const char *slot);

#endif
