/* The preview checks: the window in its host and its close, an empty and
 * a 1x1 area, a path with a blank, and the processor time a preview uses. */
#ifndef NOVRA_CHECK_PREVIEW_CHECKS_H
#define NOVRA_CHECK_PREVIEW_CHECKS_H

#include "check/check_context.h"

/* preview.window and preview.close, judged in one run. */
void CheckPreview(CheckContext *context);
void CheckEmptyArea(CheckContext *context);
void CheckTinyArea(CheckContext *context);
void CheckPathBlank(CheckContext *context);
void CheckPreviewCpu(CheckContext *context);

#endif
