/* The viewer's own child process: the start-up information handed to
 * every saver, and the current saver started into processInfo through
 * the launcher, in the job that ends every saver with the viewer. */
#ifndef NOVRA_SAVER_PROCESS_H
#define NOVRA_SAVER_PROCESS_H

#include "host/launcher.h"

void ResetStartupInfo(void);

/* The current saver with a switch (and the parent's handle, if any);
 * refused while a child is still held. 1 on success, 0 on failure. */
int LaunchSaver(const char *switchText, HWND parent);

/* Ends the held child, if any (see EndSaverProcess). */
void EndHeldSaver(DWORD graceMs);

#endif
