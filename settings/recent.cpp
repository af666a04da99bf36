#include "recent.h"

#include <string.h>

#include "app/state.h"
#include "settings/path.h"

void AddRecent(const char *path)
{
    ViewerState *state = GetState();
    char chosen[PATH_BUFFER];

    /* `path` may point into the list that the shift overwrites. */
    CopyText(chosen, sizeof(chosen), path);
    for (int slot = RECENT_COUNT - 1; slot > 0; slot--)
        memcpy(state->recent[slot], state->recent[slot - 1], PATH_BUFFER);
    CopyText(state->currentSaver, PATH_BUFFER, chosen);
}

void PromoteRecent(const char *slot)
{
    AddRecent(slot);
}
