/* The viewer's own child process: the start-up information handed to
 * every saver, and the current saver started into processInfo through
 * the launcher. Each run of a saver gets a job of its own, which holds
 * every process the saver starts (a .scr may only launch the real saver,
 * or start helpers): the run is over when the last of them has ended, and
 * ending the run ends them all, as the viewer's own end does. */
#ifndef NOVRA_SAVER_PROCESS_H
#define NOVRA_SAVER_PROCESS_H

#include "host/launcher.h"

void ResetStartupInfo(void);

/* The current saver with a switch (and the parent's handle, if any);
 * refused while a child is still held. 1 on success, 0 on failure. */
int LaunchSaver(const char *switchText, HWND parent);

/* Gives the held child graceMs to end by itself, then ends every process
 * of its run and closes the handles. Does nothing when none is held. */
void EndHeldSaver(DWORD graceMs);

/* 1 when the held child has ended and no other process of its run is
 * left (also when none is held), with the child's own exit code. */
int HeldRunHasEnded(DWORD *exitCode);

#endif
