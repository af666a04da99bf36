// The About box, driven from a timer that its modal loop runs: controls, the
// link labels' painting and cursor, the ways it ends and what it leaves
// behind, and the targets its links hand to the shell (caught by a stand-in
// handler registered for the web and mail protocols in this private prefix).
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include "about/about.h"
#include "app/state.h"
#include "links.h"
#include "res/resource.h"
#include "support/test_support.h"

namespace {

std::function<void(HWND)> whileOpen;
void CALLBACK FindDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA("#32770", NULL);
    if (dialog != NULL) {
        KillTimer(NULL, timer);
        whileOpen(dialog);
    }
}
// Runs `check` on the open box; shown by the About command, or directly for its result.
INT_PTR RunAbout(const std::function<void(HWND)> &check, bool byCommand = false) {
    whileOpen = check;
    UINT_PTR timer = SetTimer(NULL, 0, 100, FindDialog);
    ViewerState *state = GetState();
    INT_PTR result = byCommand ? SendMessageA(state->mainWindow, WM_COMMAND, IDM_ABOUT, 0)
                               : DialogBoxParamA(state->instance, MAKEINTRESOURCEA(IDD_ABOUT),
                                                 state->mainWindow, AboutDlgProc, 0);
    KillTimer(NULL, timer);
    return result;
}

// Longest horizontal run of pure blue in the label: its underline.
int BlueRun(HWND label) {
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

class About : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveTestSettings();
        ASSERT_NE(nullptr, OpenViewer());
    }
    void TearDown() override { CloseViewer(); }
};

TEST_F(About, ControlsLinkLabelsAndCursor) {
    bool seen = false;
    RunAbout([&](HWND dialog) {
        wchar_t caption[64];
        char text[128];
        seen = GetWindowTextW(dialog, caption, 64) > 0;
        EXPECT_EQ(std::wstring(L"バージョン情報(NOVRA)"), caption);
        for (int id : {IDOK, IDC_LINK_MAIL, IDC_LINK_WEB}) {
            GetDlgItemTextA(dialog, id, text, sizeof text);
            EXPECT_EQ(id == IDOK ? "OK" : id == IDC_LINK_WEB ? NOVRA_WEB_LABEL : NOVRA_MAIL_LABEL,
                      std::string(text));
        }
        HWND web = GetDlgItem(dialog, IDC_LINK_WEB), mail = GetDlgItem(dialog, IDC_LINK_MAIL);
        HFONT font = (HFONT)SendMessageA(web, WM_GETFONT, 0, 0);
        LOGFONTA logFont;
        GetObjectA(font, sizeof logFont, &logFont);
        EXPECT_EQ(1, logFont.lfUnderline) << "the web label's own font";
        for (HWND label : {web, mail}) {   // both painted with it: glyphs alone make no long runs
            EXPECT_EQ((LONG_PTR)LinkLabelProc, GetWindowLongPtrA(label, GWLP_WNDPROC));
            EXPECT_LE(60, BlueRun(label)) << "blue underline, label " << GetDlgCtrlID(label);
        }
        HCURSOR hand = GetState()->linkCursor;
        ASSERT_NE(nullptr, hand);
        for (HWND window : {web, mail, GetDlgItem(dialog, IDOK), dialog}) {
            SetCursor(window == web || window == mail ? NULL : hand);
            SendMessageA(window, WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(window == web || window == mail, GetCursor() == hand) << "over " << window;
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }, true);
    EXPECT_TRUE(seen) << "the About command opened the box";
}

// The labels' procedures before the dialog subclassed them, and when each dies.
LONG_PTR procAtInit[2], procAtDestroy[2];
LRESULT CALLBACK BeforeMessage(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT *m = (const CWPSTRUCT *)lParam;
    for (int i = 0; i < 2; i++) {
        if (m->message == WM_INITDIALOG)
            procAtInit[i] = GetWindowLongPtrA(GetDlgItem(m->hwnd, IDC_LINK_WEB + i), GWLP_WNDPROC);
        if (m->message == WM_DESTROY && GetDlgCtrlID(m->hwnd) == IDC_LINK_WEB + i)
            procAtDestroy[i] = GetWindowLongPtrA(m->hwnd, GWLP_WNDPROC);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

TEST_F(About, EndsAndCleansUp) {
    const struct { const char *label; int control; UINT message; WPARAM key; INT_PTR result; }
    rows[] = {
        {"Enter", 0, WM_KEYDOWN, VK_RETURN, 1}, {"OK clicked", IDOK, BM_CLICK, 0, 1},
        {"Esc", 0, WM_KEYDOWN, VK_ESCAPE, 2}, {"close box", 0, WM_SYSCOMMAND, SC_CLOSE, 2},
    };
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, BeforeMessage, NULL, GetCurrentThreadId());
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        HGDIOBJ font = NULL;
        INT_PTR result = RunAbout([&](HWND dialog) {
            font = (HGDIOBJ)SendDlgItemMessageA(dialog, IDC_LINK_WEB, WM_GETFONT, 0, 0);
            HWND target = row.control ? GetDlgItem(dialog, row.control) : dialog;
            PostMessageA(target, row.message, row.key, 0);
        });
        EXPECT_EQ(row.result, result);
        ASSERT_NE(nullptr, font);
        EXPECT_EQ(0u, GetObjectType(font)) << "the underlined font is deleted";
        for (int i = 0; i < 2; i++) {
            EXPECT_NE((LONG_PTR)LinkLabelProc, procAtInit[i]);
            EXPECT_EQ(procAtInit[i], procAtDestroy[i]) << "procedure of label " << IDC_LINK_WEB + i;
        }
    }
    UnhookWindowsHookEx(hook);
}

// Real clicks beside the end of the label's text.
void Click(HWND label, int clicks) {
    RECT r;
    INPUT input[4] = {};
    GetClientRect(label, &r);
    POINT p = {r.right - 2, r.bottom / 2};
    ClientToScreen(label, &p);
    SetCursorPos(p.x, p.y);
    for (int i = 0; i < 2 * clicks; i++) {
        input[i].type = INPUT_MOUSE;
        input[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
    SendInput(2 * clicks, input, sizeof(INPUT));
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
    const struct { const char *label; int id, clicks; const char *target; } rows[] = {
        {"web clicked", IDC_LINK_WEB, 1, NOVRA_WEB_TARGET},
        {"mail clicked", IDC_LINK_MAIL, 1, NOVRA_MAIL_TARGET},
        {"web double-clicked", IDC_LINK_WEB, 2, NOVRA_WEB_TARGET},
    };
    INT_PTR result = RunAbout([&](HWND dialog) {
        for (const auto &row : rows) {
            urls.Clear();
            Click(GetDlgItem(dialog, row.id), row.clicks);
            PumpUntil([&] { return !ReadFileText(urls.Path()).empty(); }, 5000);
            PumpMessages(1000);   // room for a wrong second open
            EXPECT_EQ(std::string(row.target) + "\r\n", ReadFileText(urls.Path())) << row.label;
        }
        urls.Clear();
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LINK_MAIL, STN_DBLCLK), 0);
        PumpMessages(1000);
        EXPECT_EQ("", ReadFileText(urls.Path())) << "STN_DBLCLK opens nothing";
        EXPECT_TRUE(IsWindowVisible(dialog)) << "links leave the box open";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(2, result);
    SetEnvironmentVariableA("NOVRA_URL_LOG", NULL);
    EXPECT_TRUE(WaitNoProcessesNamed("url_probe", 5000));
}

}  // namespace
