/* The saver's settings run ("/c") and full-screen run ("/S"): the child
 * is started and a nested message loop keeps the viewer alive until the
 * run's last process ends (a .scr may only launch the real saver). */
#ifndef NOVRA_MODAL_H
#define NOVRA_MODAL_H

/* 1 once the child was started and its run has ended (or was cut short by
 * WM_QUIT or by EndModalRun), 0 when the child could not be started. */
int RunSaverSettings(void);
int RunSaverFullScreen(void);

/* Ends the run of a modal child in progress and waits (bounded) until it
 * is gone, after which the nested loop returns. Does nothing outside a
 * run. */
void EndModalRun(void);

#endif
