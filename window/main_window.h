/* The main window procedure: creation, the preview's life with the
 * window's size, the context menu, closing, and command dispatch. */
#ifndef NOVRA_MAIN_WINDOW_H
#define NOVRA_MAIN_WINDOW_H

#include <windows.h>

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
