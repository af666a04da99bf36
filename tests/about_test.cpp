// The About box. The targets its links hand to the shell are caught by a stand-in
// handler registered for the web and mail protocols in this private prefix.
#include <gtest/gtest.h>
#include "about/about.h"
#include "app/state.h"
#include "links.h"
#include "res/resource.h"
#include "support/test_support.h"
namespace {
// Keeps the labels' procedures from before the dialog subclassed them and from when
// each dies, and hands the box to `whileOpen` the first time its modal loop idles.
std::function<void(HWND)> whileOpen;
LONG_PTR procAtInit[2], procAtDestroy[2];
LRESULT CALLBACK BeforeMessage(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT *m = (const CWPSTRUCT *)lParam;
    for (int i = 0; i < 2; i++) {
        if (m->message == WM_INITDIALOG)
            procAtInit[i] = GetWindowLongPtrA(GetDlgItem(m->hwnd, IDC_LINK_WEB + i), GWLP_WNDPROC);
        if (m->message == WM_DESTROY && GetDlgCtrlID(m->hwnd) == IDC_LINK_WEB + i)
            procAtDestroy[i] = GetWindowLongPtrA(m->hwnd, GWLP_WNDPROC);
    }
    if (m->message == WM_ENTERIDLE && m->wParam == MSGF_DIALOGBOX && whileOpen)
        std::exchange(whileOpen, nullptr)((HWND)m->lParam);
    return CallNextHookEx(NULL, code, wParam, lParam);
}
const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, BeforeMessage, NULL, GetCurrentThreadId());
// Runs `check` on the open box; shown by the About command, or directly for its result.
INT_PTR RunAbout(const std::function<void(HWND)> &check, bool byCommand = false) {
    ViewerState *s = GetState();
    whileOpen = check;
    return byCommand ? SendMessageA(s->mainWindow, WM_COMMAND, IDM_ABOUT, 0)
        : DialogBoxParamA(s->instance, MAKEINTRESOURCEA(IDD_ABOUT), s->mainWindow, AboutDlgProc, 0);
}
int BlueRun(HWND label) {   // the longest horizontal run of pure blue: its underline
    RECT r;
    int best = 0;
    RedrawWindow(label, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    GetClientRect(label, &r);
    HDC dc = GetDC(label);
    for (int y = 0; y < r.bottom; y++)
        for (int x = 0, run = 0; x < r.right; x++, best = run > best ? run : best)
            run = GetPixel(dc, x, y) == RGB(0, 0, 255) ? run + 1 : 0;
    ReleaseDC(label, dc);
    return best;
}
struct About : ::testing::Test {
    void SetUp() override { RemoveTestSettings(); ASSERT_NE(nullptr, OpenViewer()); }
    void TearDown() override { CloseViewer(); }
};
TEST_F(About, ControlsLinkLabelsAndCursor) {
    std::wstring caption(64, L'\0');
    RunAbout([&](HWND dialog) {
        caption.resize(GetWindowTextW(dialog, &caption[0], 64));
        for (int id : {IDOK, IDC_LINK_MAIL, IDC_LINK_WEB})
            EXPECT_EQ(id == IDOK ? "OK" : id == IDC_LINK_WEB ? NOVRA_WEB_LABEL : NOVRA_MAIL_LABEL,
                      WindowTitle(GetDlgItem(dialog, id)));
        HWND web = GetDlgItem(dialog, IDC_LINK_WEB), mail = GetDlgItem(dialog, IDC_LINK_MAIL);
        LOGFONTA font = {};
        GetObjectA((HFONT)SendMessageA(web, WM_GETFONT, 0, 0), sizeof font, &font);
        EXPECT_EQ(1, font.lfUnderline) << "the web label's own font";
        for (HWND label : {web, mail})   // both painted with it: glyphs alone make no long runs
            EXPECT_LE(60, BlueRun(label)) << "blue underline, label " << GetDlgCtrlID(label);
        HCURSOR hand = GetState()->linkCursor;
        ASSERT_NE(nullptr, hand);
        for (HWND window : {web, mail, GetDlgItem(dialog, IDOK), dialog}) {
            SetCursor(window == web || window == mail ? NULL : hand);
            SendMessageA(window, WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(window == web || window == mail, GetCursor() == hand) << "over " << window;
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }, true);
    EXPECT_EQ(L"バージョン情報(NOVRA)", caption) << "shown by the About command";
}
TEST_F(About, EndsAndCleansUp) {
    const struct { const char *label; int item; UINT msg; WPARAM key; INT_PTR result; } rows[] = {
        {"Enter", 0, WM_KEYDOWN, VK_RETURN, 1}, {"OK clicked", IDOK, BM_CLICK, 0, 1},
        {"Esc", 0, WM_KEYDOWN, VK_ESCAPE, 2}, {"close box", 0, WM_SYSCOMMAND, SC_CLOSE, 2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        HGDIOBJ font = NULL;
        INT_PTR result = RunAbout([&](HWND dialog) {
            font = (HGDIOBJ)SendDlgItemMessageA(dialog, IDC_LINK_WEB, WM_GETFONT, 0, 0);
            PostMessageA(row.item ? GetDlgItem(dialog, row.item) : dialog, row.msg, row.key, 0);
        });
        EXPECT_EQ(row.result, result);
        ASSERT_NE(nullptr, font);
        EXPECT_EQ(0u, GetObjectType(font)) << "the underlined font is deleted";
        for (int i = 0; i < 2; i++) {
            EXPECT_NE((LONG_PTR)LinkLabelProc, procAtInit[i]);
            EXPECT_EQ(procAtInit[i], procAtDestroy[i]) << "procedure of label " << IDC_LINK_WEB + i;
        }
    }
}
void Click(HWND label, int clicks) {   // real clicks beside the end of the label's text
    RECT r;
    GetClientRect(label, &r);
    POINT p = {r.right - 2, r.bottom / 2};
    ClientToScreen(label, &p);
    SetCursorPos(p.x, p.y);
    for (int i = 0; i < 2 * clicks; i++)
        mouse_event(i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
}
TEST_F(About, LinksOpenTheirTargetsOncePerClick) {
    std::string command = "\"" + ProbePath("url_probe.exe") + "\" \"%1\"";
    for (std::string scheme : {"http", "https", "mailto"}) {
        RegSetKeyValueA(HKEY_CLASSES_ROOT, scheme.c_str(), "URL Protocol", REG_SZ, "", 1);
        RegSetKeyValueA(HKEY_CLASSES_ROOT, (scheme + "\\shell\\open\\command").c_str(), NULL,
                        REG_SZ, command.c_str(), (DWORD)command.size() + 1);
    }
    ProbeLog urls;   // a fresh log file; the handler finds it through its own variable
    SetEnvironmentVariableA("NOVRA_URL_LOG", urls.Path().c_str());
    const struct { int id, clicks; const char *target; } rows[] = {   // a double click opens once
        {IDC_LINK_WEB, 1, NOVRA_WEB_TARGET}, {IDC_LINK_MAIL, 1, NOVRA_MAIL_TARGET},
        {IDC_LINK_WEB, 2, NOVRA_WEB_TARGET},
    };
    RunAbout([&](HWND dialog) {
        for (const auto &row : rows) {
            urls.Clear();
            Click(GetDlgItem(dialog, row.id), row.clicks);
            PumpUntil([&] { return !ReadFileText(urls.Path()).empty(); }, 5000);
            PumpMessages(1000);   // room for a wrong second open
            EXPECT_EQ(std::string(row.target) + "\r\n", ReadFileText(urls.Path())) << row.clicks;
        }
        EXPECT_TRUE(IsWindowVisible(dialog)) << "links leave the box open";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(WaitNoProcessesNamed("url_probe", 5000));
}
}  // namespace
