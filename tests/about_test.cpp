/* The About box. The targets its links hand to the shell are caught by a
 * stand-in handler registered for the web and mail protocols in this
 * private prefix. */
#include <gtest/gtest.h>

#include "about/about.h"
#include "app/state.h"
#include "links.h"
#include "res/resource.h"
#include "res/version.h"
#include "support/test_support.h"

namespace {

/* The labels' procedures before the box initialises and as each dies. */
LONG_PTR procBefore[2];
LONG_PTR procAtDestroy[2];

LRESULT CALLBACK BeforeMessage(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *sent = (const CWPSTRUCT *)lParam;
    for (int i = 0; i < 2; i++) {
        HWND label = GetDlgItem(sent->hwnd, IDC_LINK_WEB + i);
        if (sent->message == WM_INITDIALOG)
            procBefore[i] = GetWindowLongPtrA(label, GWLP_WNDPROC);
        if (sent->message == WM_DESTROY && GetDlgCtrlID(sent->hwnd) == IDC_LINK_WEB + i)
            procAtDestroy[i] = GetWindowLongPtrA(sent->hwnd, GWLP_WNDPROC);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, BeforeMessage, NULL, GetCurrentThreadId());

/* The longest horizontal run of pure blue in the label: its underline. */
int BlueRun(HWND label)
{
    RECT r;
    int best = 0;
    RedrawWindow(label, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    GetClientRect(label, &r);
    HDC dc = GetDC(label);
    for (int y = 0; y < r.bottom; y++) {
        int run = 0;
        for (int x = 0; x < r.right; x++) {
            run = GetPixel(dc, x, y) == RGB(0, 0, 255) ? run + 1 : 0;
            best = run > best ? run : best;
        }
    }
    ReleaseDC(label, dc);
    return best;
}

/* Identifier, class, the type and notify bits of its style, and its text
 * (or whether a static shows an icon). */
std::string Describe(HWND control)
{
    char type[32] = "";
    char text[128];
    GetClassNameA(control, type, sizeof(type));
    LONG style = GetWindowLongA(control, GWL_STYLE) & 0x1FF;
    snprintf(text, sizeof(text), "%d %s %lx ", (short)GetDlgCtrlID(control), type, style);
    if (style == SS_ICON)
        return text + std::string(SendMessageA(control, STM_GETICON, 0, 0) ? "icon" : "none");
    return text + WindowTitle(control);
}

class About : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTestSettings();
        ASSERT_NE(nullptr, OpenViewer());
    }

    void TearDown() override
    {
        CloseViewer();
    }
};

TEST_F(About, ControlsLinkLabelsAndCursor)
{
    std::wstring caption(64, L'\0');
    Strings controls;
    WhenDialogIdle([&](HWND dialog) {
        caption.resize(GetWindowTextW(dialog, &caption[0], 64));
        for (HWND control : ChildWindows(dialog))
            controls.push_back(Describe(control));
        HWND web = GetDlgItem(dialog, IDC_LINK_WEB);
        HWND mail = GetDlgItem(dialog, IDC_LINK_MAIL);
        LOGFONTA font = {};
        GetObjectA((HFONT)SendMessageA(web, WM_GETFONT, 0, 0), sizeof(font), &font);
        EXPECT_EQ(1, font.lfUnderline) << "the web label's own font";
        /* Both painted with it: glyphs alone make no long runs. */
        EXPECT_LE(60, BlueRun(web));
        EXPECT_LE(60, BlueRun(mail));
        HCURSOR hand = GetState()->linkCursor;
        ASSERT_NE(nullptr, hand);
        for (HWND window : {web, mail, GetDlgItem(dialog, IDOK), dialog}) {
            bool link = window == web || window == mail;
            SetCursor(link ? NULL : hand);
            SendMessageA(window, WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(link, GetCursor() == hand) << "over " << Describe(window);
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    Command(GetState()->mainWindow, IDM_ABOUT);
    EXPECT_EQ(L"バージョン情報(NOVRA)", caption);
    Strings expected = {"1 Button 1 OK", "-1 Static 0 " NOVRA_ABOUT_TEXT, "-1 Static 7 ",
                        "2002 Static 100 " NOVRA_MAIL_LABEL, "2001 Static 100 " NOVRA_WEB_LABEL,
                        "-1 Static 3 icon"};
    EXPECT_EQ(expected, controls);
}

TEST_F(About, EndsAndCleansUp)
{
    const struct {
        const char *label;
        int item;
        UINT message;
        WPARAM key;
        INT_PTR result;
    } rows[] = {
        {"Enter", 0, WM_KEYDOWN, VK_RETURN, 1},
        {"OK clicked", IDOK, BM_CLICK, 0, 1},
        {"Esc", 0, WM_KEYDOWN, VK_ESCAPE, 2},
        {"close box", 0, WM_SYSCOMMAND, SC_CLOSE, 2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        HGDIOBJ font = NULL;
        LONG_PTR procOpen[2] = {};
        WhenDialogIdle([&](HWND dialog) {
            font = (HGDIOBJ)SendDlgItemMessageA(dialog, IDC_LINK_WEB, WM_GETFONT, 0, 0);
            for (int i = 0; i < 2; i++)
                procOpen[i] = GetWindowLongPtrA(GetDlgItem(dialog, IDC_LINK_WEB + i), GWLP_WNDPROC);
            HWND target = row.item ? GetDlgItem(dialog, row.item) : dialog;
            PostMessageA(target, row.message, row.key, 0);
        });
        ViewerState *state = GetState();
        INT_PTR result = DialogBoxParamA(state->instance, MAKEINTRESOURCEA(IDD_ABOUT),
                                         state->mainWindow, AboutDlgProc, 0);
        EXPECT_EQ(row.result, result);
        ASSERT_NE(nullptr, font);
        EXPECT_EQ(0u, GetObjectType(font)) << "the underlined font is deleted";
        for (int i = 0; i < 2; i++) {
            EXPECT_EQ((LONG_PTR)LinkLabelProc, procOpen[i]) << "label " << IDC_LINK_WEB + i;
            EXPECT_EQ(procBefore[i], procAtDestroy[i]) << "label " << IDC_LINK_WEB + i;
        }
    }
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

TEST_F(About, LinksOpenTheirTargetsOncePerClick)
{
    std::string command = "\"" + ProbePath("url_probe.exe") + "\" \"%1\"";
    for (std::string scheme : {"http", "https", "mailto"}) {
        std::string key = scheme + "\\shell\\open\\command";
        RegSetKeyValueA(HKEY_CLASSES_ROOT, scheme.c_str(), "URL Protocol", REG_SZ, "", 1);
        RegSetKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), NULL, REG_SZ, command.c_str(),
                        (DWORD)command.size() + 1);
    }
    ProbeLog urls;   /* a fresh file; the handler finds it through its own variable */
    SetEnvironmentVariableA("NOVRA_URL_LOG", urls.Path().c_str());
    const struct {
        int id;
        int clicks;   /* a double click opens once */
        const char *target;
    } rows[] = {
        {IDC_LINK_WEB, 1, NOVRA_WEB_TARGET},
        {IDC_LINK_MAIL, 1, NOVRA_MAIL_TARGET},
        {IDC_LINK_WEB, 2, NOVRA_WEB_TARGET},
    };
    WhenDialogIdle([&](HWND dialog) {
        for (const auto &row : rows) {
            urls.Clear();
            Click(GetDlgItem(dialog, row.id), row.clicks);
            PumpUntil([&] { return !ReadFileText(urls.Path()).empty(); }, 5000);
            PumpMessages(1000);   /* room for a wrong second open */
            EXPECT_EQ(std::string(row.target) + "\r\n", ReadFileText(urls.Path())) << row.clicks;
        }
        EXPECT_TRUE(IsWindowVisible(dialog)) << "links leave the box open";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Command(GetState()->mainWindow, IDM_ABOUT);
    EXPECT_TRUE(WaitNoProcessesNamed("url_probe", 5000));
}

}  // namespace
