/* The system's screen saver for this user, kept where the Display control
 * panel keeps it: read for the installed savers' check mark, written by the
 * Operation menu's command. Also the real system folder, which a 32-bit
 * viewer on 64-bit Windows reaches only by another name. */
#ifndef NOVRA_SYSTEM_SAVER_H
#define NOVRA_SYSTEM_SAVER_H

#include <stddef.h>

/* For a 32-bit viewer on 64-bit Windows, whose view of the system folder
 * the file system redirects to the 32-bit one: "<Windows>\Sysnative", the
 * name of the real one. 1 then; 0 for every other viewer. */
int NativeSystemFolder(char *buffer, size_t size);

/* The system's saver as this viewer names it (long form, the real system
 * folder as above). 1 when one is set. */
int ReadSystemSaver(char *path, size_t size);

/* Makes the saver the system's screen saver and turns the screen saver on,
 * as the Display control panel does. 1 on success; 0 when the registry
 * could not be written (GetLastError tells why), and then nothing changed. */
int MakeSystemSaver(const char *path);

#endif
