/* The process entry. Command-line arguments are ignored. */
#include <stdlib.h>

#include "app/shell.h"

/* A viewer that could not come up must not end as a normal run does: a
 * script or shortcut that started it can tell only by the exit code. */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)commandLine;
    if (previous == NULL && RegisterMainClass(instance, MAIN_CLASS_NAME) == 0)
        return EXIT_FAILURE;
    if (CreateMainWindow(instance, MAIN_CLASS_NAME, showCommand) != 1)
        return EXIT_FAILURE;
    return RunMessageLoop(instance);
}
