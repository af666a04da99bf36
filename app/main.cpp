/* The process entry. The one argument taken is a saver to open. */
#include <stdlib.h>

#include "app/arguments.h"
#include "app/shell.h"
#include "app/state.h"

/* A viewer that could not come up must not end as a normal run does: a
 * script or shortcut that started it can tell only by the exit code. */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    char path[PATH_BUFFER];

    /* Read whole instead: the platform splits a command line only with
     * the program's name in front. */
    (void)commandLine;
    const char *saver = FindSaverArgument(path, sizeof(path)) == 1 ? path : NULL;
    if (previous == NULL && RegisterMainClass(instance, MAIN_CLASS_NAME) == 0)
        return EXIT_FAILURE;
    if (CreateMainWindow(instance, MAIN_CLASS_NAME, showCommand, saver) != 1)
        return EXIT_FAILURE;
    return RunMessageLoop(instance);
}
