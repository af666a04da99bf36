/* The About box and the resources as the built program carries them. The
 * targets the box's links hand to the shell are caught by a probe saver
 * registered for the web and mail protocols in this private prefix: it logs
 * the command line it was started with and ends at once. */
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
        if (sent->message == WM_INITDIALOG)
            procBefore[i] = GetWindowLongPtrA(GetDlgItem(sent->hwnd, IDC_LINK_WEB + i), GWLP_WNDPROC);
        if (sent->message == WM_DESTROY && GetDlgCtrlID(sent->hwnd) == IDC_LINK_WEB + i)
            procAtDestroy[i] = GetWindowLongPtrA(sent->hwnd, GWLP_WNDPROC);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, BeforeMessage, NULL, GetCurrentThreadId());

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

TEST(About, ControlsLabelsCursorAndLinks)
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
    Strings controls;
    WhenDialogIdle([&](HWND dialog) {
        caption.resize(GetWindowTextW(dialog, &caption[0], 64));
        for (HWND control : ChildWindows(dialog))
            controls.push_back(Describe(control));
        HWND web = GetDlgItem(dialog, IDC_LINK_WEB);
        HWND mail = GetDlgItem(dialog, IDC_LINK_MAIL);
        EXPECT_LE(60, BlueRun(web));
        EXPECT_LE(60, BlueRun(mail));
        HCURSOR hand = GetState()->linkCursor;
        for (HWND window : {web, mail, GetDlgItem(dialog, IDOK), dialog}) {
            bool link = window == web || window == mail;
            SetCursor(link ? NULL : hand);
            SendMessageA(window, WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(link, hand != NULL && GetCursor() == hand) << "over " << Describe(window);
        }
        /* A double click opens once. */
        for (int row = 0; row < 3; row++) {
            urls.Clear();
            Click(row == 1 ? mail : web, row == 2 ? 2 : 1);
            urls.WaitFor("start", 1, 5000);
            PumpMessages(1000);   /* room for a wrong second open */
            std::string target = row == 1 ? NOVRA_MAIL_TARGET : NOVRA_WEB_TARGET;
            EXPECT_EQ(Strings{"start \"" + handler + "\" \"" + target + "\""}, urls.Events("start")) << row;
        }
        EXPECT_TRUE(IsWindowVisible(dialog)) << "links leave the box open";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Command(OpenViewer(), IDM_ABOUT);
    EXPECT_EQ(L"バージョン情報(NOVRA)", caption);
    Strings expected = {"1 Button 1 OK", "-1 Static 0 " NOVRA_ABOUT_TEXT, "-1 Static 7 ",
                        "2002 Static 100 " NOVRA_MAIL_LABEL, "2001 Static 100 " NOVRA_WEB_LABEL, "-1 Static 3 icon"};
    EXPECT_EQ(expected, controls);
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    CloseViewer();
}

TEST(About, EndsAndCleansUp)
{
    const struct {
        int item;
        UINT message;
        WPARAM key;
        INT_PTR result;
    } rows[] = {
        {0, WM_KEYDOWN, VK_RETURN, 1},
        {IDOK, BM_CLICK, 0, 1},
        {0, WM_KEYDOWN, VK_ESCAPE, 2},
        {0, WM_SYSCOMMAND, SC_CLOSE, 2},
    };
    HWND window = OpenViewer();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.message);
        HGDIOBJ font = NULL;
        LONG_PTR procOpen[2] = {};
        WhenDialogIdle([&](HWND dialog) {
            font = (HGDIOBJ)SendDlgItemMessageA(dialog, IDC_LINK_WEB, WM_GETFONT, 0, 0);
            for (int i = 0; i < 2; i++)
                procOpen[i] = GetWindowLongPtrA(GetDlgItem(dialog, IDC_LINK_WEB + i), GWLP_WNDPROC);
            PostMessageA(row.item ? GetDlgItem(dialog, row.item) : dialog, row.message, row.key, 0);
        });
        EXPECT_EQ(row.result, DialogBoxParamA(GetState()->instance, MAKEINTRESOURCEA(IDD_ABOUT), window,
                                              AboutDlgProc, 0));
        EXPECT_TRUE(font != NULL && GetObjectType(font) == 0) << "the underlined font is deleted";
        for (int i = 0; i < 2; i++) {
            EXPECT_EQ((LONG_PTR)LinkLabelProc, procOpen[i]) << "label " << IDC_LINK_WEB + i;
            EXPECT_EQ(procBefore[i], procAtDestroy[i]) << "label " << IDC_LINK_WEB + i;
        }
    }
    CloseViewer();
}

/* Popups as "caption[...]", command items as their captions; their
 * identifiers in order. */
std::wstring Outline(HMENU menu, std::vector<UINT> *ids)
{
    std::wstring outline;
    for (int position = 0; position < GetMenuItemCount(menu); position++) {
        wchar_t text[64] = L"";
        GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
        if (GetSubMenu(menu, position) != NULL)
            outline += text + (L"[" + Outline(GetSubMenu(menu, position), ids) + L"]");
        else if (GetMenuItemID(menu, position) != 0)
            outline += text + std::wstring(L"|");
        if (GetSubMenu(menu, position) == NULL && GetMenuItemID(menu, position) != 0)
            ids->push_back(GetMenuItemID(menu, position));
    }
    return outline;
}

/* Japanese text that survives the script's encoding, menu items that
 * reach the commands, and the version block as file properties read it. */
TEST(Resources, MenusStringsAndVersion)
{
    HMENU bar = LoadMenuW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDR_MAIN_MENU));
    HMENU context = LoadMenuW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDR_CONTEXT_MENU));
    std::vector<UINT> ids;
    EXPECT_EQ(L"ﾌｧｲﾙ(&F)[開く(&O)...|終了(&X)|]操作(&M)[リセット(&R)|停止(&S)|スクリーンセーバー起動(&P)|]"
              L"表示(&V)[常に前面に表示(&T)|解像度[QVGA  (320 * 240)|VGA   (640 * 480)|SVGA  (800 * 600)|"
              L"XGA   (1024 * 768) |]]設定(&S)[スクリンセーバー設定(&C)|]ヘルプ(&H)[ヘルプ(&H)|バージョン情報(&V)|]",
              Outline(bar, &ids));
    EXPECT_EQ(L"[QVGA  (320 * 240)|VGA   (640 * 480)|SVGA  (800 * 600)|XGA   (1024 * 768) |フルスクリーン|"
              L"元のサイズに戻す|]", Outline(context, &ids));
    std::vector<UINT> expected = {IDM_OPEN, IDM_EXIT, IDM_RESET, IDM_STOP, IDM_START_SAVER, IDM_TOPMOST,
                                  IDM_SIZE_QVGA, IDM_SIZE_VGA, IDM_SIZE_SVGA, IDM_SIZE_XGA, IDM_SAVER_SETTINGS,
                                  IDM_HELP, IDM_ABOUT, IDM_SIZE_QVGA, IDM_SIZE_VGA, IDM_SIZE_SVGA, IDM_SIZE_XGA,
                                  IDM_FULL_SCREEN, IDM_RESTORE_SIZE};
    EXPECT_EQ(expected, ids);
    DestroyMenu(bar);
    DestroyMenu(context);
    wchar_t text[64] = L"";
    LoadStringW(GetModuleHandleW(NULL), IDM_EXIT, text, 64);
    EXPECT_STREQ(L"ｱﾌﾟﾘｹｰｼｮﾝを終了します。", text);
    LoadStringW(GetModuleHandleW(NULL), IDM_OPEN, text, 64);
    EXPECT_STREQ(L"ファイルを開く", text);
    std::string path = ProgramFolder() + "novra.exe";
    std::vector<BYTE> block(GetFileVersionInfoSizeA(path.c_str(), NULL));
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, (DWORD)block.size(), block.data()));
    VS_FIXEDFILEINFO *fixed = NULL;
    DWORD *language = NULL;
    char *product = NULL;
    UINT length;
    VerQueryValueA(block.data(), "\\", (void **)&fixed, &length);
    VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void **)&language, &length);
    VerQueryValueA(block.data(), "\\StringFileInfo\\041104b0\\FileVersion", (void **)&product, &length);
    ASSERT_TRUE(fixed && language && product);
    EXPECT_EQ(0x10000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x30000u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x04B00411u, *language);
    EXPECT_STREQ("1, 0, 3, 0", product);
}

}  // namespace
