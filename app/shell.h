/* The main window class, the main window and the main message loop with
 * the window's keys. */
#ifndef NOVRA_SHELL_H
#define NOVRA_SHELL_H

#include <windows.h>

#define MAIN_CLASS_NAME "NOVRAClass"

DWORD RegisterMainClass(HINSTANCE instance, const char *className);

/* 1 when the window was created and shown, 0 when creation failed. With a
 * saver (a full path, already judged), the window opens it as a dropped
 * one; NULL for none. */
int CreateMainWindow(HINSTANCE instance, const char *className, int showCommand, const char *saver);

/* Runs until WM_QUIT (or a GetMessage error), translating the main
 * window's keys; returns the exit code. */
int RunMessageLoop(HINSTANCE instance);

#endif
