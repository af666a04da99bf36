/* The menu commands of the main window, one function each, and the
 * saver dropped on it. A dropped saver, the next or previous one in the
 * folder and an installed one are all taken as the Open command takes a
 * file. */
#ifndef NOVRA_COMMANDS_H
#define NOVRA_COMMANDS_H

#include <windows.h>
#include <shellapi.h>

void DispatchCommand(HWND window, UINT id);

/* A saver dropped on the window is taken as if chosen in the open dialog. */
void OpenDroppedSaver(HDROP drop);

#endif
