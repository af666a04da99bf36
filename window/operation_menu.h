/* The Operation menu's saver commands, brought up to date as a popup
 * opens (from the menu bar, or from a key that the main loop translates):
 * next and previous only where the saver's folder holds another saver,
 * the system-saver command only with a saver, and the installed savers
 * listed afresh. */
#ifndef NOVRA_OPERATION_MENU_H
#define NOVRA_OPERATION_MENU_H

#include <windows.h>

void UpdateMenuPopup(HMENU popup);

#endif
