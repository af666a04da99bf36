/* settings.owned: the settings window is owned by the window whose handle
 * the saver was given, in both forms of the switch, while another window
 * of the checker's is in front, so that only the handle leads to the host. */
#ifndef NOVRA_CHECK_SETTINGS_CHECK_H
#define NOVRA_CHECK_SETTINGS_CHECK_H

#include "check/check_context.h"

void CheckSettings(CheckContext *context);

#endif
