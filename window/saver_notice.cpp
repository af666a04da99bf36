#include "saver_notice.h"

#include <stdio.h>
#include <string.h>

#include "app/state.h"
#include "host/exit_code.h"
#include "res/resource.h"
#include "settings/path.h"

#define NOTICE_COLOR    RGB(200, 200, 200)
#define NOTICE_MARGIN   8
/* CreateProcess's error for a program whose manifest asks for elevation;
 * MinGW's headers lack the name. */
#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740L
#endif

/* Painted at once: when the notice goes, a saver's window is about to be
 * made, and the main window (which does not clip its children) must not
 * erase the notice over it later. */
static void SetNotice(const char *text)
{
    ViewerState *state = GetState();

    CopyText(state->saverNotice, sizeof(state->saverNotice), text);
    RedrawWindow(state->mainWindow, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void ClearSaverNotice(void)
{
    if (GetState()->saverNotice[0] != '\0')
        SetNotice("");
}

static void LoadText(UINT id, char *buffer, int size)
{
    if (LoadStringA(GetState()->instance, id, buffer, size) == 0)
        buffer[0] = '\0';
}

void NoteSaverEnd(DWORD exitCode)
{
    const ExitCodeName *row = FindExitCode(exitCode);
    char format[128];
    char name[64];
    char text[NOTICE_BUFFER];

    if (row == NULL) {
        LoadText(IDS_SAVER_ENDED, format, sizeof(format));
        snprintf(text, sizeof(text), format, exitCode);
    } else {
        LoadText(IDS_SAVER_CRASHED_NAMED, format, sizeof(format));
        LoadText(row->nameText, name, sizeof(name));
        snprintf(text, sizeof(text), format, exitCode, name);
    }
    SetNotice(text);
}

/* A saver that asks for elevation gets our text, as the system's is not in
 * Japanese everywhere. */
void DescribeError(DWORD error, char *reason, DWORD size)
{
    DWORD length;

    if (error == ERROR_ELEVATION_REQUIRED) {
        LoadText(IDS_ELEVATION_REQUIRED, reason, (int)size);
        return;
    }
    length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, reason, size,
                            NULL);
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n' || reason[length - 1] == ' '))
        length--;
    if (length == 0)
        snprintf(reason, size, "%lu", error);
    else
        reason[length] = '\0';
}

void NoteStartFailure(DWORD error)
{
    char format[128];
    char reason[192];
    char text[NOTICE_BUFFER];

    DescribeError(error, reason, sizeof(reason));
    LoadText(IDS_START_FAILED, format, sizeof(format));
    snprintf(text, sizeof(text), format, reason);
    SetNotice(text);
}

/* Centred in the client area, wrapped at its width. */
void PaintSaverNotice(HWND window, HDC dc)
{
    const char *text = GetState()->saverNotice;
    const UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    HGDIOBJ font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT client;
    RECT box;

    GetClientRect(window, &client);
    InflateRect(&client, -NOTICE_MARGIN, 0);
    box = client;
    DrawTextA(dc, text, -1, &box, format | DT_CALCRECT);
    client.top = (client.bottom - (box.bottom - box.top)) / 2;
    SetTextColor(dc, NOTICE_COLOR);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &client, format);
    SelectObject(dc, font);
}
