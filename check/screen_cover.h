/* What a full-screen window leaves showing of a monitor: plain rectangle
 * arithmetic, kept apart so that it can be checked without two monitors. */
#ifndef NOVRA_CHECK_SCREEN_COVER_H
#define NOVRA_CHECK_SCREEN_COVER_H

#include <windows.h>

/* The part of `monitor` outside `window`, as the one rectangle that holds
 * it: empty when the window covers the monitor, a strip when the window
 * spans the monitor's full width or height from one edge, and the whole
 * monitor when what is left is not one rectangle (a corner, a band). */
inline RECT UncoveredPart(const RECT &monitor, const RECT &window)
{
    RECT part = monitor;
    RECT overlap;

    if (!IntersectRect(&overlap, &monitor, &window))
        return part;
    if (overlap.left == monitor.left && overlap.right == monitor.right) {
        if (overlap.top == monitor.top)
            part.top = overlap.bottom;
        else if (overlap.bottom == monitor.bottom)
            part.bottom = overlap.top;
    }
    if (overlap.top == monitor.top && overlap.bottom == monitor.bottom) {
        if (overlap.left == monitor.left)
            part.left = overlap.right;
        else if (overlap.right == monitor.right)
            part.right = overlap.left;
    }
    return part;
}

#endif
