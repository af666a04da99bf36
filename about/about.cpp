#include "about.h"

#include <shellapi.h>

#include "app/state.h"
#include "links.h"
#include "res/resource.h"

#define LINK_TEXT_BUFFER    128
#define LINK_COLOR          RGB(0, 0, 255)

/* One set for the one About box that can exist: it is modal to the main
 * window, so a second cannot open while it lives. */
static HFONT linkFont;
static WNDPROC originalStaticProc;
static WNDPROC originalMailProc;

static WNDPROC SubclassLabel(HWND dialog, int id)
{
    HWND label = GetDlgItem(dialog, id);

    return (WNDPROC)SetWindowLongPtrA(label, GWLP_WNDPROC, (LONG_PTR)LinkLabelProc);
}

static void OnInitDialog(HWND dialog)
{
    HFONT font = (HFONT)SendMessageA(GetDlgItem(dialog, IDC_LINK_WEB), WM_GETFONT, 0, 0);
    LOGFONTA logFont;

    if (GetObjectA(font, sizeof(logFont), &logFont) == sizeof(logFont)) {
        logFont.lfUnderline = TRUE;
        linkFont = CreateFontIndirectA(&logFont);
    }
    SendDlgItemMessageA(dialog, IDC_LINK_WEB, WM_SETFONT, (WPARAM)linkFont, 0);
    originalStaticProc = SubclassLabel(dialog, IDC_LINK_WEB);
    originalMailProc = SubclassLabel(dialog, IDC_LINK_MAIL);
}

/* The dialog is destroyed before its controls, so the labels end their
 * lives with the static control's own procedure. */
static void OnDestroy(HWND dialog)
{
    SetWindowLongPtrA(GetDlgItem(dialog, IDC_LINK_WEB), GWLP_WNDPROC, (LONG_PTR)originalStaticProc);
    SetWindowLongPtrA(GetDlgItem(dialog, IDC_LINK_MAIL), GWLP_WNDPROC, (LONG_PTR)originalMailProc);
    if (linkFont != NULL)
        DeleteObject(linkFont);
    linkFont = NULL;
}

/* Only a single click opens the target: SS_NOTIFY reports the second
 * click of a double click as STN_DBLCLK. */
static void OnLinkCommand(HWND dialog, int id, int code)
{
    if (code != STN_CLICKED)
        return;
    const char *target = (id == IDC_LINK_WEB) ? NOVRA_WEB_TARGET : NOVRA_MAIL_TARGET;
    ShellExecuteA(dialog, NULL, target, NULL, NULL, SW_SHOWNORMAL);
}

static INT_PTR OnCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDOK:
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:      /* also Esc and the close box */
        EndDialog(dialog, 2);
        return TRUE;
    case IDC_LINK_WEB:
    case IDC_LINK_MAIL:
        OnLinkCommand(dialog, id, code);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return FALSE;   /* no default focus */
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        OnDestroy(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

/* Both labels are painted with the underlined font, although only the web
 * label has it as its control font. */
static void PaintLabel(HWND label)
{
    char text[LINK_TEXT_BUFFER];
    PAINTSTRUCT paint;
    int length = GetWindowTextA(label, text, sizeof(text));
    HDC dc = BeginPaint(label, &paint);

    HGDIOBJ previousFont = SelectObject(dc, linkFont);
    SetTextColor(dc, LINK_COLOR);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc, OPAQUE);
    TextOutA(dc, 0, 0, text, length);
    SelectObject(dc, previousFont);
    EndPaint(label, &paint);
}

LRESULT CALLBACK LinkLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintLabel(label);
        return 0;
    case WM_SETCURSOR:
        SetCursor(GetState()->linkCursor);
        return 0;
    default:
        return CallWindowProcA(originalStaticProc, label, message, wParam, lParam);
    }
}
