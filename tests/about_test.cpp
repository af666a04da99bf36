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

bool Blue(COLORREF color)
{
    return color == RGB(0, 0, 255);
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

struct LinkClick {
    int control;
    int clicks;
    const char *target;
};

/* However the box is opened and ended, it shows its caption, icon and
 * version, both links blue and underlined (the longest run of pure blue in
 * a label is its underline: glyphs alone make no long runs), and the hand
 * over them alone; a click opens a link's target once, a double click too,
 * and leaves the box open. Enter and Esc end it with their results, and the
 * underlined font goes with it. */
TEST(About, LinksCursorLookAndEnd)
{
    const std::string handler = ProbePath("probe_exitnow.scr");
    const std::string command = "\"" + handler + "\" \"%1\"";
    for (std::string scheme : {"http", "https", "mailto"}) {
        RegSetKeyValueA(HKEY_CLASSES_ROOT, scheme.c_str(), "URL Protocol", REG_SZ, "", 1);
        RegSetKeyValueA(HKEY_CLASSES_ROOT, (scheme + "\\shell\\open\\command").c_str(), NULL, REG_SZ,
                        command.c_str(), (DWORD)command.size() + 1);
    }
    const struct {
        const char *label;
        bool menu;          /* opened by the command, else by DialogBoxParam with its result seen */
        std::vector<LinkClick> clicks;
        WPARAM key;         /* ends it, or 0: the close box */
        INT_PTR result;
    } rows[] = {
        {"the command, links, close box", true,
         {{IDC_LINK_WEB, 1, NOVRA_WEB_TARGET}, {IDC_LINK_MAIL, 1, NOVRA_MAIL_TARGET}, {IDC_LINK_WEB, 2, NOVRA_WEB_TARGET}},
         0, 0},
        {"Enter", false, {}, VK_RETURN, 1},
        {"Esc", false, {}, VK_ESCAPE, 2},
    };
    ProbeLog urls;
    HWND window = OpenViewer();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        std::wstring caption(64, L'\0');
        bool icon = false;
        bool version = false;
        HGDIOBJ font = NULL;
        WhenDialog([&](HWND dialog) {
            caption.resize(GetWindowTextW(dialog, &caption[0], 64));
            icon = ShowsAnIcon(dialog);
            for (HWND control : ChildWindows(dialog))
                version = version || WindowTitle(control) == "NOVRA  Ver 1.03";
            font = (HGDIOBJ)SendDlgItemMessageA(dialog, IDC_LINK_WEB, WM_GETFONT, 0, 0);
            HWND web = GetDlgItem(dialog, IDC_LINK_WEB);
            HWND mail = GetDlgItem(dialog, IDC_LINK_MAIL);
            EXPECT_LE(60, PixelRun(web, Blue));
            EXPECT_LE(60, PixelRun(mail, Blue));
            HCURSOR hand = GetState()->linkCursor;
            for (HWND control : {web, mail, GetDlgItem(dialog, IDOK), dialog}) {
                bool link = control == web || control == mail;
                SetCursor(link ? NULL : hand);
                SendMessageA(control, WM_SETCURSOR, (WPARAM)control, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                EXPECT_EQ(link, hand != NULL && GetCursor() == hand) << "over " << GetDlgCtrlID(control);
            }
            for (const LinkClick &click : row.clicks) {
                urls.Clear();
                Click(GetDlgItem(dialog, click.control), click.clicks);
                urls.WaitFor("start", 1, 5000);
                if (click.clicks > 1)
                    PumpMessages(1000);   /* room for a wrong second open */
                EXPECT_EQ(Strings{"start \"" + handler + "\" \"" + click.target + "\""}, urls.Events("start"))
                    << click.control << " clicked " << click.clicks;
            }
            EXPECT_TRUE(IsWindowVisible(dialog)) << "links leave the box open";
            if (row.key != 0)
                PostMessageA(dialog, WM_KEYDOWN, row.key, 0);
            else
                PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        if (row.menu)
            Command(window, IDM_ABOUT);
        else
            EXPECT_EQ(row.result, DialogBoxParamA(GetState()->instance, MAKEINTRESOURCEA(IDD_ABOUT), window,
                                                  AboutDlgProc, 0));
        EXPECT_EQ(L"バージョン情報(NOVRA)", caption);
        EXPECT_TRUE(icon);
        EXPECT_TRUE(version) << "the label, whatever the package's version";
        EXPECT_TRUE(font != NULL && GetObjectType(font) == 0) << "the underlined font is deleted";
    }
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    CloseViewer();
}

}  // namespace
