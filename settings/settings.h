/* The settings file beside the executable: window geometry, always on top,
 * the start play state and the five recent savers. Read once at window
 * creation, written once at close, through the private-profile functions. */
#ifndef NOVRA_SETTINGS_H
#define NOVRA_SETTINGS_H

#include <stddef.h>

#define SETTINGS_PATH_BUFFER 264    /* a 259-character module path + ".ini" */

/* The executable's path with its extension replaced by ".ini" (or ".ini"
 * appended when it has none). 1 on success, 0 when there is no usable
 * path, in which case nothing may be read or written. */
int SettingsFilePath(char *buffer, size_t size);

/* The same for the program at `program`. */
int SettingsPathOf(const char *program, char *buffer, size_t size);

void LoadSettings(void);
void SaveSettings(void);

#endif
