#include "checks.h"

#include <string.h>

#include "check/fullscreen_checks.h"
#include "check/preview_checks.h"
#include "check/settings_check.h"

const CheckInfo checkTable[CHECK_COUNT] = {
    {"preview.window", "a child window of the host that fills its client area", CheckPreview},
    {"preview.close", "the preview ends within 500 ms of WM_CLOSE", CheckPreview},
    {"preview.empty_area", "a 0x0 preview runs a second without a crash or an error box", CheckEmptyArea},
    {"preview.tiny_area", "so does a 1x1 preview", CheckTinyArea},
    {"preview.path_blank", "a preview from a quoted path with a blank", CheckPathBlank},
    {"preview.cpu", "the preview's processor time over 3 s; above half a core warns", CheckPreviewCpu},
    {"settings.owned", "the settings window is owned by the window given with /c and /c:", CheckSettings},
    {"fullscreen.covers", "a full-screen window covers every monitor", CheckFullScreen},
    {"fullscreen.ends_on_input", "the full screen ends on a key, and on a mouse move", CheckFullScreen},
    {"orphans", "nothing the saver starts runs on a second after it ended", CheckOrphans},
};

CheckId FindCheck(const char *name, size_t length)
{
    for (int id = 0; id < CHECK_COUNT; id++) {
        if (strlen(checkTable[id].name) == length && strncmp(checkTable[id].name, name, length) == 0)
            return (CheckId)id;
    }
    return CHECK_COUNT;
}

static int RanBefore(const CheckContext *context, int id)
{
    for (int earlier = 0; earlier < id; earlier++) {
        if (context->wanted[earlier] == 1 && checkTable[earlier].run == checkTable[id].run)
            return 1;
    }
    return 0;
}

int RunChecks(CheckContext *context)
{
    for (int id = 0; id < CHECK_COUNT; id++) {
        if (context->wanted[id] == 1 && RanBefore(context, id) != 1)
            checkTable[id].run(context);
        if (context->startFailed == 1)
            return 0;
    }
    return 1;
}
