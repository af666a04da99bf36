/* The preview process: the current saver started with "/p" inside the
 * main window, and ended again. */
#ifndef NOVRA_PREVIEW_H
#define NOVRA_PREVIEW_H

/* The saver's own chance to end after its windows closed, before it is
 * terminated: long enough for a well-behaved saver, short enough that a
 * restart does not wait for it. */
#define STOP_GRACE_MS 5

/* 1 when the preview process was created, 0 when it could not be (also
 * while another child is still held). */
int StartPreview(void);

/* Closes the saver's windows and ends its run: its process and every one
 * it started. A stop that finds nothing held, or finds that a handler run
 * during its waits has ended the child already, does nothing more. */
void StopPreview(void);

#endif
