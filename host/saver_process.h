/* Starting saver programs: the bounded command line, the fixed creation
 * arguments, and the job that ends every saver when the viewer ends. */
#ifndef NOVRA_SAVER_PROCESS_H
#define NOVRA_SAVER_PROCESS_H

#include <stddef.h>
#include <windows.h>

#define COMMAND_BUFFER 388  /* a 260-character path, a switch and a handle */

/* "<path> <switch> <handle>" with the handle in signed decimal, or
 * "<path> <switch>" when parent is NULL. The path is not quoted: the
 * platform finds the program in an unquoted path with blanks. 1 when the
 * line fits, else 0. */
int BuildSaverCommand(char *buffer, size_t size, const char *path, const char *switchText,
                      HWND parent);

/* Starts the current saver with the given switch into processInfo; the
 * process joins the kill-on-close job. 1 on success, 0 on failure. */
int LaunchSaver(const char *switchText, HWND parent);

#endif
