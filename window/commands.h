/* The menu commands of the main window, one function each. */
#ifndef NOVRA_COMMANDS_H
#define NOVRA_COMMANDS_H

#include <windows.h>

void DispatchCommand(HWND window, UINT id);

#endif
