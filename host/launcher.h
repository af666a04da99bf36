/* Starting and ending saver programs, shared by the viewer and the
 * checker: the bounded command line, the process created with the fixed
 * arguments inside a kill-on-close job, and its end with both handles
 * closed exactly once. */
#ifndef NOVRA_LAUNCHER_H
#define NOVRA_LAUNCHER_H

#include <stddef.h>
#include <windows.h>

#define COMMAND_BUFFER 388  /* a quoted 260-character path, a switch and a handle */

/* How long a terminated saver is given to be gone before its handles are
 * closed: a window it owns would otherwise outlive the termination and
 * hold up the destruction of its owner. */
#define END_WAIT_MS 1000

/* "<path> <switch> <handle>" with the handle in signed decimal, or
 * "<path> <switch>" when parent is NULL. A path with a blank is quoted:
 * a saver reads its own command line, and would take the text after the
 * blank for its switches. 1 when the line fits; 0 when it does not, or
 * when the path holds a quotation mark (GetLastError tells which). */
int BuildSaverCommand(char *buffer, size_t size, const char *path, const char *switchText,
                      HWND parent);

/* CreateProcessA with the fixed arguments; the new process joins `job`.
 * 1 on success, 0 on failure (then `process` is untouched). */
int LaunchSaverCommand(char *command, STARTUPINFOA *startup, PROCESS_INFORMATION *process,
                       HANDLE job);

/* A job that kills its processes when its last handle closes; NULL when
 * the platform refuses one. */
HANDLE CreateKillOnCloseJob(void);

/* 1 when the process is a member of the job. A job the process could not
 * join (the caller's own job allows no nesting, before Windows 8) says
 * nothing about it. */
int IsInJob(HANDLE process, HANDLE job);

/* 1 when no process of the job runs any more (also when it cannot be
 * asked). */
int JobIsEmpty(HANDLE job);

/* Terminates every process left in the job, waits (bounded) until they
 * are gone, and closes the job's handle. Does nothing for NULL. */
void EndSaverJob(HANDLE *job);

/* Waits graceMs for the process to end by itself, terminates it, waits
 * (bounded) until it is gone, then closes both handles and clears them.
 * Does nothing when no process is held, so no handle is closed twice. */
void EndSaverProcess(PROCESS_INFORMATION *process, DWORD graceMs);

#endif
