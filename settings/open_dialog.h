/* The open dialog through which the user picks a saver file. */
#ifndef NOVRA_OPEN_DIALOG_H
#define NOVRA_OPEN_DIALOG_H

#include "app/state.h"

/* Shows the open dialog; on a choice the path becomes the current saver
 * and the menu is rebuilt. 1 when a file was chosen, 0 otherwise. */
int ChooseSaverFile(ViewerState *state);

#endif
