#include "saver_notice.h"

#include <stdio.h>
#include <string.h>

#include "app/state.h"
#include "res/resource.h"
#include "settings/path.h"

#define NOTICE_COLOR    RGB(200, 200, 200)
#define NOTICE_MARGIN   8
/* The loader's code for a DLL it could not find; ntstatus.h is not for
 * user-mode programs that also include windows.h. */
#define DLL_NOT_FOUND_CODE 0xC0000135UL

struct ExceptionName {
    DWORD code;
    UINT text;
};

static const ExceptionName EXCEPTION_NAMES[] = {
    {EXCEPTION_ACCESS_VIOLATION, IDS_ACCESS_VIOLATION},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, IDS_INT_DIVIDE_BY_ZERO},
    {EXCEPTION_STACK_OVERFLOW, IDS_STACK_OVERFLOW},
    {DLL_NOT_FOUND_CODE, IDS_DLL_NOT_FOUND},
    {EXCEPTION_ILLEGAL_INSTRUCTION, IDS_ILLEGAL_INSTRUCTION},
};

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

static UINT ExceptionNameOf(DWORD code)
{
    for (size_t index = 0; index < sizeof(EXCEPTION_NAMES) / sizeof(EXCEPTION_NAMES[0]); index++) {
        if (EXCEPTION_NAMES[index].code == code)
            return EXCEPTION_NAMES[index].text;
    }
    return 0;
}

/* An exception that ends a process leaves its code as the exit code, and
 * exception codes carry the error severity in their top two bits. */
void NoteSaverEnd(DWORD exitCode)
{
    char format[128];
    char name[64];
    char text[NOTICE_BUFFER];
    UINT nameId = ExceptionNameOf(exitCode);

    if ((exitCode & 0xC0000000UL) != 0xC0000000UL) {
        LoadText(IDS_SAVER_ENDED, format, sizeof(format));
        snprintf(text, sizeof(text), format, exitCode);
    } else if (nameId == 0) {
        LoadText(IDS_SAVER_CRASHED, format, sizeof(format));
        snprintf(text, sizeof(text), format, exitCode);
    } else {
        LoadText(IDS_SAVER_CRASHED_NAMED, format, sizeof(format));
        LoadText(nameId, name, sizeof(name));
        snprintf(text, sizeof(text), format, exitCode, name);
    }
    SetNotice(text);
}

void NoteStartFailure(DWORD error)
{
    char format[128];
    char reason[192];
    char text[NOTICE_BUFFER];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                                  reason, sizeof(reason), NULL);

    /* The platform's messages end in a line break. */
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n' || reason[length - 1] == ' '))
        length--;
    if (length == 0)
        snprintf(reason, sizeof(reason), "%lu", error);
    else
        reason[length] = '\0';
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
