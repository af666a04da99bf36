#include "window_place.h"

#include <limits.h>

/* A caption strip narrower than this is no handle for a mouse. */
#define CAPTION_GRAB_PX 40

static long long Limited(long long value, int least, int most)
{
    return value < least ? least : value > most ? most : value;
}

/* The system cuts a window's size to its tracking limits, keeping the
 * left and top edges: a stored width of 3500 pixels at X=-3000 gives a
 * window that ends far left of the screen. The sums are made wide, as the
 * values come from a file. */
static int LimitSize(int x, int y, int *width, int *height, RECT *rect)
{
    long long right = x + Limited(*width, GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CXMAXTRACK));
    long long bottom = y + Limited(*height, GetSystemMetrics(SM_CYMINTRACK), GetSystemMetrics(SM_CYMAXTRACK));

    if (right > LONG_MAX || bottom > LONG_MAX)
        return 0;
    SetRect(rect, x, y, (LONG)right, (LONG)bottom);
    *width = (int)(right - x);
    *height = (int)(bottom - y);
    return 1;
}

/* The part of the caption a drag can start from: inside the frame, and
 * left of the caption buttons. */
static RECT CaptionOf(const RECT *window)
{
    int frameX = GetSystemMetrics(SM_CXSIZEFRAME);
    int frameY = GetSystemMetrics(SM_CYSIZEFRAME);
    RECT caption;

    SetRect(&caption, window->left + frameX, window->top + frameY,
            window->right - frameX - 3 * GetSystemMetrics(SM_CXSIZE),
            window->top + frameY + GetSystemMetrics(SM_CYCAPTION));
    return caption;
}

static BOOL CALLBACK ShowsCaptionProc(HMONITOR monitor, HDC dc, LPRECT bounds, LPARAM data)
{
    RECT *caption = (RECT *)data;
    MONITORINFO info;
    RECT common;

    (void)dc;
    (void)bounds;
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(monitor, &info) || !IntersectRect(&common, &info.rcWork, caption) ||
        common.right - common.left < CAPTION_GRAB_PX)
        return TRUE;
    SetRectEmpty(caption);     /* found: tells the caller, and ends the search */
    return FALSE;
}

int TakeReachablePlace(int x, int y, int *width, int *height)
{
    RECT window;
    RECT caption;

    if (LimitSize(x, y, width, height, &window) != 1)
        return 0;
    caption = CaptionOf(&window);
    if (IsRectEmpty(&caption))
        return 0;
    EnumDisplayMonitors(NULL, NULL, ShowsCaptionProc, (LPARAM)&caption);
    return IsRectEmpty(&caption) ? 1 : 0;
}
