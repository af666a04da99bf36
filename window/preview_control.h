/* The preview state machine's shared steps: the two titles, the four
 * preview commands, the one start step that every path takes, the
 * restarts that WM_SIZE and the commands run, and the watch on the held
 * preview's process. */
#ifndef NOVRA_PREVIEW_CONTROL_H
#define NOVRA_PREVIEW_CONTROL_H

#include <windows.h>

/* Between stopping a saver and starting the next: lets the stopped
 * saver's window go before a new one is created in its place. */
#define RESTART_PAUSE_MS 500

/* The main window's timer that looks at the held preview's process. */
#define WATCH_TIMER_ID 1

void SetBareTitle(void);

/* MF_ENABLED or MF_GRAYED for Start saver, Reset, Stop and Settings. */
void EnablePreviewCommands(UINT flag);

/* Ends the held preview and its watch. */
void StopPreviewAndWatch(void);

/* Stops the preview (when previewing); 1 when the caller may go on to
 * start another: the window still exists and no handler run during the
 * stop's waits has started a saver of its own. */
int StopBeforeNextStart(void);

/* The start that every path ends in. 1 when the preview is started, or
 * held over until the client area has room; then playState is
 * PLAY_PREVIEW and the title names the saver. 0 when it could not start:
 * the title is bare and the notice says why. */
int StartPreviewStep(void);

/* Stop (when previewing), pause, start; on success the commands enabled. */
void RestartPreview(void);

/* What a change of the client area does to the preview: a restart, or,
 * while restarts are held, a note that one is due. */
void FollowWindowSize(void);

/* Held while the window changes in several steps (the user's drag, a
 * switch into or out of full-screen-window mode, each step a WM_SIZE):
 * the release makes the one restart that the steps together call for,
 * once the window has its new place. */
void HoldPreviewRestarts(void);
void ReleasePreviewRestarts(void);

/* The watch timer's tick: notes the held preview's end by itself. */
void CheckPreviewEnded(void);

#endif
