/* Whether a window place and size read from the settings file can be
 * used: judged on the rectangle the window will really get, which the
 * user must be able to reach by its caption. */
#ifndef NOVRA_WINDOW_PLACE_H
#define NOVRA_WINDOW_PLACE_H

#include <windows.h>

/* Limits the size to what the system lets a window have (the left and top
 * edges stay). 1 when a part of the caption that the user can grab then
 * lies in some monitor's work area, 0 when it does not. */
int TakeReachablePlace(int x, int y, int *width, int *height);

#endif
