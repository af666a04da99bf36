/* Splitting ANSI paths into drive, directory, file name and extension,
 * aware of the double-byte characters of the ANSI code page; what names a
 * saver file; files beside the program. Shared by the settings file, the
 * recent menu, the savers' folders, the command line and the help command. */
#ifndef NOVRA_PATH_H
#define NOVRA_PATH_H

#include <stddef.h>

#define PART_BUFFER 256     /* each component is cut to 255 bytes */

struct PathParts {
    char drive[3];              /* "D:" or empty */
    char directory[PART_BUFFER];  /* up to and including the last separator */
    char name[PART_BUFFER];     /* the file name up to its last dot */
    char extension[PART_BUFFER];  /* from that dot on, or empty */
};

void SplitPath(const char *path, PathParts *parts);

/* Where the file name begins within `path`: after its last separator, or
 * after its drive. */
const char *FindFileName(const char *path);

/* 1 when the file name's extension is ".scr", in any case. */
int IsSaverPath(const char *path);

/* 1 when the path names an existing file, not a folder. */
int IsPlainFile(const char *path);

/* Copies text into a buffer of the given size, cutting it to fit without
 * splitting a double-byte character. Returns 1 when nothing was cut. */
int CopyText(char *buffer, size_t size, const char *text);

/* 1 when no character of the path is one that no Windows file name can
 * hold (a control character, '"', '<', '>', '|', '*', '?'); the trail
 * bytes of double-byte characters, which may have those values, are not
 * taken for them. */
int IsSoundPath(const char *path);

/* Writes the running executable's full path; 1 on success, 0 when the
 * platform failed or the path did not fit. */
int GetProgramPath(char *buffer, size_t size);

/* The path of a file of this name in the executable's folder; 1 when it
 * fits the buffer. */
int PathBesideProgram(const char *fileName, char *buffer, size_t size);

#endif
