/* The About box, and what the resource compiler could spoil of it: the
 * Japanese caption and the icon; its version label, fixed. The targets the box's links hand to the
 * shell are caught by a probe saver registered for the web and mail
 * protocols in this private prefix: it logs the command line it was
 * started with and ends at once. */
#include <gtest/gtest.h>

#include "about/about.h"
#include "app/state.h"
#include "links.h"
#include "res/resource.h"
#include "support/test_support.h"

namespace {

/* The longest horizontal run of pure blue in the label: its underline, as
 * glyphs alone make no long runs. */
int BlueRun(HWND label)
{
    RECT r;
    int best = 0;
    RedrawWindow(label, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    GetClientRect(label, &r);
    HDC dc = GetDC(label);
    for (int y = 0; y < r.bottom; y++) {
        for (int x = 0, run = 0; x < r.right; x++) {
            run = GetPixel(dc, x, y) == RGB(0, 0, 255) ? run + 1 : 0;
            best = std::max(run, best);
        }
    }
    ReleaseDC(label, dc);
    return best;
}

/* Real clicks beside the end of the label's text. */
void Click(HWND label, int clicks)
{
    RECT r;
    GetClientRect(label, &r);
    POINT p = {r.right - 2, r.bottom / 2};
    ClientToScreen(label, &p);
    SetCursorPos(p.x, p.y);
    for (int i = 0; i < clicks; i++) {
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }
}

bool ShowsAnIcon(HWND dialog)
{
    for (HWND control : ChildWindows(dialog)) {
        if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return SendMessageA(control, STM_GETICON, 0, 0) != 0;
    }
    return false;
}

TEST(About, LinksCursorAndLook)
{
    const std::string handler = ProbePath("probe_exitnow.scr");
    const std::string command = "\"" + handler + "\" \"%1\"";
    for (std::string scheme : {"http", "https", "mailto"}) {
        RegSetKeyValueA(HKEY_CLASSES_ROOT, scheme.c_str(), "URL Protocol", REG_SZ, "", 1);
        RegSetKeyValueA(HKEY_CLASSES_ROOT, (scheme + "\\shell\\open\\command").c_str(), NULL, REG_SZ,
                        command.c_str(), (DWORD)command.size() + 1);
    }
    ProbeLog urls;
    std::wstring caption(64, L'\0');
    bool icon = false;
    bool version = false;
    WhenDialogIdle([&](HWND dialog) {
        caption.resize(GetWindowTextW(dialog, &caption[0], 64));
        icon = ShowsAnIcon(dialog);
        for (HWND control : ChildWindows(dialog))
            version = version || WindowTitle(control) == "NOVRA  Ver 1.03";
        HWND web = GetDlgItem(dialog, IDC_LINK_WEB);
        HWND mail = GetDlgItem(dialog, IDC_LINK_MAIL);
        EXPECT_LE(60, BlueRun(web));
        EXPECT_LE(60, BlueRun(mail));
        HCURSOR hand = GetState()->linkCursor;
        for (HWND window : {web, mail, GetDlgItem(dialog, IDOK), dialog}) {
            bool link = window == web || window == mail;
            SetCursor(link ? NULL : hand);
            SendMessageA(window, WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(link, hand != NULL && GetCursor() == hand) << "over " << GetDlgCtrlID(window);
        }
        const struct {
            const char *label;
            HWND link;
            int clicks;
            const char *target;
        } rows[] = {
            {"web", web, 1, NOVRA_WEB_TARGET},
            {"mail", mail, 1, NOVRA_MAIL_TARGET},
            {"double click: one open", web, 2, NOVRA_WEB_TARGET},
        };
        for (const auto &row : rows) {
            urls.Clear();
            Click(row.link, row.clicks);
            urls.WaitFor("start", 1, 5000);
            if (row.clicks > 1)
                PumpMessages(1000);   /* room for a wrong second open */
            EXPECT_EQ(Strings{"start \"" + handler + "\" \"" + row.target + "\""}, urls.Events("start")) << row.label;
        }
        EXPECT_TRUE(IsWindowVisible(dialog)) << "links leave the box open";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Command(OpenViewer(), IDM_ABOUT);
    EXPECT_EQ(L"バージョン情報(NOVRA)", caption);
    EXPECT_TRUE(icon);
    EXPECT_TRUE(version) << "the label, whatever the package's version";
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    CloseViewer();
}

/* Enter and Esc end the box with their results; the underlined font goes
 * with it. */
TEST(About, EndsAndFreesItsFont)
{
    const struct {
        WPARAM key;
        INT_PTR result;
    } rows[] = {
        {VK_RETURN, 1},
        {VK_ESCAPE, 2},
    };
    HWND window = OpenViewer();
    for (const auto &row : rows) {
        HGDIOBJ font = NULL;
        WhenDialogIdle([&](HWND dialog) {
            font = (HGDIOBJ)SendDlgItemMessageA(dialog, IDC_LINK_WEB, WM_GETFONT, 0, 0);
            PostMessageA(dialog, WM_KEYDOWN, row.key, 0);
        });
        EXPECT_EQ(row.result, DialogBoxParamA(GetState()->instance, MAKEINTRESOURCEA(IDD_ABOUT), window,
                                              AboutDlgProc, 0));
        EXPECT_TRUE(font != NULL && GetObjectType(font) == 0) << "the underlined font is deleted";
    }
    CloseViewer();
}

}  // namespace
