/* The full-screen checks: a window that covers every monitor, and an end
 * on a key and on a mouse move, each input tried in a run of its own. */
#ifndef NOVRA_CHECK_FULLSCREEN_CHECKS_H
#define NOVRA_CHECK_FULLSCREEN_CHECKS_H

#include "check/check_context.h"

/* fullscreen.covers and fullscreen.ends_on_input. */
void CheckFullScreen(CheckContext *context);

#endif
