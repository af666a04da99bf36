/* The preview state machine's shared steps: the two titles, the four
 * preview commands, and the restarts that WM_SIZE and the commands run. */
#ifndef NOVRA_PREVIEW_CONTROL_H
#define NOVRA_PREVIEW_CONTROL_H

#include <windows.h>

/* Between stopping a saver and starting the next: lets the stopped
 * saver's window go before a new one is created in its place. */
#define RESTART_PAUSE_MS 500

void SetBareTitle(void);
void SetPreviewTitle(void);

/* MF_ENABLED or MF_GRAYED for Start saver, Reset, Stop and Settings. */
void EnablePreviewCommands(UINT flag);

/* Stops the preview (when previewing); 1 when the caller may go on to
 * start another: the window still exists and no handler run during the
 * stop's waits has started a saver of its own. */
int StopPreviewForRestart(void);

/* Starts the preview; on success playState becomes PLAY_PREVIEW. 1 on
 * success, 0 when nothing was started. */
int StartPreviewRecorded(void);

/* Stop (when previewing), pause, start; on success the preview title,
 * PLAY_PREVIEW and the commands enabled. */
void RestartPreview(void);

/* What a change of the client area does to the preview. */
void FollowWindowSize(void);

#endif
