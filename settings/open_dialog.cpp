#include "open_dialog.h"

#include <stddef.h>
#include <string.h>
#include <windows.h>
#include <commdlg.h>

#include "settings/path.h"
#include "settings/recent.h"
#include "settings/recent_menu.h"

/* The SDK's size for the record without the members Windows 2000 added
 * is the offset of the first of them. */
#ifndef _WIN64
static_assert(offsetof(OPENFILENAMEA, pvReserved) == 76, "the 32-bit record is 76 bytes long");
#endif

static const char SAVER_FILTER[] = "SCREEN SAVER FILE (*.scr)\0 *.scr\0";

int ChooseSaverFile(ViewerState *state)
{
    char file[PATH_BUFFER];
    OPENFILENAMEA dialog;

    CopyText(file, sizeof(file), state->currentSaver);
    memset(&dialog, 0, sizeof(dialog));
    /* The size without the members that Windows 2000 added: every version
     * understands it. */
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = state->mainWindow;
    dialog.lpstrFilter = SAVER_FILTER;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_PATHMUSTEXIST;
    dialog.lpstrDefExt = "scr";
    if (!GetOpenFileNameA(&dialog))
        return 0;

    AddRecent(file);
    RebuildRecentMenu();
    return 1;
}
