/* The preview state machine's shared steps: the two titles, the four
 * preview commands, and the restarts that WM_SIZE and the commands run. */
#ifndef NOVRA_PREVIEW_CONTROL_H
#define NOVRA_PREVIEW_CONTROL_H

#include <windows.h>

#define RESTART_PAUSE_MS 500    /* lets the stopped saver's window go */

void SetBareTitle(void);
void SetPreviewTitle(void);

/* MF_ENABLED or MF_GRAYED for Start saver, Reset, Stop and Settings. */
void EnablePreviewCommands(UINT flag);

/* Stop (when previewing), pause, start; on success the preview title,
 * PLAY_PREVIEW and the commands enabled. */
void RestartPreview(void);

/* What a change of the client area does to the preview. */
void FollowWindowSize(void);

#endif
