/* The process entry. Command-line arguments are ignored. */
#include "app/shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)commandLine;
    if (previous == NULL && RegisterMainClass(instance, MAIN_CLASS_NAME) == 0)
        return 0;
    if (CreateMainWindow(instance, MAIN_CLASS_NAME, showCommand) != 1)
        return 0;
    return RunMessageLoop();
}
