#include "drop.h"

#include "settings/path.h"

int TakeDroppedSaver(HDROP drop, char *path, size_t size)
{
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    int found = 0;

    for (UINT index = 0; index < count && found == 0; index++) {
        /* A name that does not fit is skipped rather than cut: a cut
         * name would be some other file. */
        UINT length = DragQueryFileA(drop, index, NULL, 0);
        if (length == 0 || length >= size)
            continue;
        DragQueryFileA(drop, index, path, (UINT)size);
        found = IsSaverPath(path);
    }
    DragFinish(drop);
    return found;
}
