/* The saver named on the command line: Explorer's "Open with", and a file
 * dropped on the program's icon, start the viewer with the file's path. */
#ifndef NOVRA_ARGUMENTS_H
#define NOVRA_ARGUMENTS_H

#include <stddef.h>

/* The first argument that names an existing ".scr" file, as a full path,
 * into `path`; 1 when there is one. Every other argument is ignored. */
int FindSaverArgument(char *path, size_t size);

#endif
