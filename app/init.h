/* Filling the state record when the main window is created: the window,
 * the instance, the start-up information and the settings file. */
#ifndef NOVRA_INIT_H
#define NOVRA_INIT_H

#include <windows.h>

/* Zero-fills the record, keeping savedWindowRect, which belongs to the
 * window's sizing modes rather than to one window's life. */
void InitState(HWND window);

#endif
