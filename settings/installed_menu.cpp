#include "installed_menu.h"

#include <string.h>

#include "app/state.h"
#include "res/resource.h"
#include "settings/installed_savers.h"
#include "settings/system_saver.h"

static_assert(IDM_INSTALLED_LAST - IDM_INSTALLED_FIRST + 1 == INSTALLED_COUNT, "one command per entry");

/* No trail byte has the value of '&', so the name is walked plainly. */
void InstalledMenuText(char *buffer, const char *name)
{
    size_t length = 0;

    for (const char *p = name; *p != '\0' && length + 2 < 2 * SAVER_NAME_BUFFER; p++) {
        if (*p == '&')
            buffer[length++] = '&';
        buffer[length++] = *p;
    }
    buffer[length] = '\0';
}

void RebuildInstalledMenu(HMENU popup)
{
    ViewerState *state = GetState();
    char systemSaver[PATH_BUFFER];
    char caption[2 * SAVER_NAME_BUFFER];

    ListInstalledSavers();
    if (ReadSystemSaver(systemSaver, sizeof(systemSaver)) != 1)
        systemSaver[0] = '\0';
    while (GetMenuItemCount(popup) > 0)
        DeleteMenu(popup, 0, MF_BYPOSITION);
    for (int entry = 0; entry < state->installedCount; entry++) {
        UINT check = lstrcmpiA(state->installed[entry].path, systemSaver) == 0 ? MF_CHECKED : MF_UNCHECKED;
        InstalledMenuText(caption, state->installed[entry].name);
        AppendMenuA(popup, MF_STRING | check, IDM_INSTALLED_FIRST + entry, caption);
    }
    if (state->installedCount > 0)
        return;
    if (LoadStringA(state->instance, IDS_NO_INSTALLED_SAVERS, caption, sizeof(caption)) == 0)
        caption[0] = '\0';
    AppendMenuA(popup, MF_STRING | MF_GRAYED, IDM_INSTALLED_FIRST, caption);
}
