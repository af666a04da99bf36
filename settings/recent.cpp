#include "recent.h"

#include <string.h>
#include <windows.h>

#include "app/state.h"
#include "settings/path.h"

/* Where the path already stands (as the file system compares names,
 * without regard to case), or the last slot, whose path drops out. */
static int SlotToFree(const char *path)
{
    ViewerState *state = GetState();

    for (int slot = 0; slot < RECENT_COUNT - 1; slot++) {
        if (lstrcmpiA(state->recent[slot], path) == 0)
            return slot;
    }
    return RECENT_COUNT - 1;
}

void AddRecent(const char *path)
{
    ViewerState *state = GetState();
    char chosen[PATH_BUFFER];

    /* `path` may point into the list that the shift overwrites. */
    CopyText(chosen, sizeof(chosen), path);
    for (int slot = SlotToFree(chosen); slot > 0; slot--)
        memcpy(state->recent[slot], state->recent[slot - 1], PATH_BUFFER);
    CopyText(state->currentSaver, PATH_BUFFER, chosen);
}

void PromoteRecent(const char *slot)
{
    AddRecent(slot);
}
