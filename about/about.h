/* The About box: the program's icon, name and version, and two labels
 * that open the web page and a mail through the shell. */
#ifndef NOVRA_ABOUT_H
#define NOVRA_ABOUT_H

#include <windows.h>

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LinkLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam);

#endif
