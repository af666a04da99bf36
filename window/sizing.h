/* The main window's geometry: placement at start, the four size presets,
 * the borderless full-screen-window mode and its way back, always on top.
 * The preview follows through the WM_SIZE messages these changes cause. */
#ifndef NOVRA_SIZING_H
#define NOVRA_SIZING_H

#include <windows.h>

/* WS_OVERLAPPEDWINDOW less WS_SYSMENU: the bits the full-screen window
 * drops and the framed window takes back. */
#define FRAME_STYLE_BITS (WS_OVERLAPPEDWINDOW & ~WS_SYSMENU)

void PlaceMainWindow(HWND window);
void CenterWindow(HWND window);
void ApplyAlwaysOnTop(void);
void ToggleAlwaysOnTop(void);
void ApplySizePreset(int width, int height);
void EnterFullScreenWindow(HWND window);
void RestoreWindowSize(HWND window);

#endif
