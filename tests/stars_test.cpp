// novra_stars.scr driven the way a host drives a screen saver: the command
// line conventions, the settings dialog and the registry it writes.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "savers/stars_resource.h"
#include "support/test_support.h"

namespace {

const char kKey[] = "Software\\NOVRA\\Stars";

DWORD GetSetting(const char *name) {
    DWORD v = 0, size = sizeof v;
    RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, NULL, &v, &size);
    return v;
}

// Zero deletes the value: used to put back "never configured".
void SetSetting(const char *name, DWORD v) {
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_WRITE, NULL, &k, NULL) != ERROR_SUCCESS)
        return;
    if (v) RegSetValueExA(k, name, 0, REG_DWORD, (const BYTE *)&v, sizeof v);
    else RegDeleteValueA(k, name);
    RegCloseKey(k);
}

struct DialogSearch {
    HWND owner, found;
};

BOOL CALLBACK FindOwnedDialog(HWND w, LPARAM lp) {
    DialogSearch *s = (DialogSearch *)lp;
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (GetWindow(w, GW_OWNER) != s->owner || lstrcmpA(cls, "#32770") != 0) return TRUE;
    s->found = w;
    return FALSE;
}

class StarsSaverTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = CreateWindowExA(0, "STATIC", "stars host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               40, 40, 320, 240, NULL, NULL, NULL, NULL);
        ASSERT_TRUE(host != NULL);
    }
    void TearDown() override {
        if (running) Ended(0);
        DestroyWindow(host);
        PumpMessages(50);
    }

    void Start(const std::string &args) {
        std::string cmd = "\"" + ProbePath("novra_stars.scr") + "\" " + args;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        running = CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi) != 0;
        ASSERT_TRUE(running) << cmd;
    }
    // Pumps while waiting: the preview is our child and sends us messages.
    bool Ended(DWORD ms) {
        bool ended = PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, ms);
        if (!ended) TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        running = false;
        return ended;
    }
    std::string HostArg(const char *sw) const {
        return sw + std::to_string((unsigned long)(ULONG_PTR)host);
    }
    HWND WaitForDialog() {
        DialogSearch s = {host, NULL};
        PumpUntil([&] { EnumWindows(FindOwnedDialog, (LPARAM)&s); return s.found != NULL; }, 5000);
        return s.found;
    }

    HWND host = NULL;
    PROCESS_INFORMATION pi = {};
    bool running = false;
};

TEST_F(StarsSaverTest, PreviewFillsHostInEverySwitchSpelling) {
    for (const char *sw : {"/p ", "-P:", "/P:"}) {
        Start(HostArg(sw));
        HWND child = NULL;
        ASSERT_TRUE(PumpUntil([&] { return (child = GetWindow(host, GW_CHILD)) != NULL; }, 5000)) << sw;
        RECT want, got;
        GetClientRect(host, &want);
        GetClientRect(child, &got);
        EXPECT_TRUE(got.right == want.right && got.bottom == want.bottom) << sw;
        PostMessageA(child, WM_CLOSE, 0, 0);
        EXPECT_TRUE(Ended(5000)) << sw;
    }
}

TEST_F(StarsSaverTest, PreviewWithoutLiveHostQuits) {
    Start("/p 4000000000");
    EXPECT_TRUE(Ended(5000));
}

// The values are put back afterwards, so running the test leaves no trace.
TEST_F(StarsSaverTest, SettingsDialogLoadsAndSaves) {
    DWORD oldCount = GetSetting("Count"), oldSpeed = GetSetting("Speed");
    SetSetting("Count", 700);
    SetSetting("Speed", 3);
    Start(HostArg("/c "));
    HWND dlg = WaitForDialog();
    ASSERT_TRUE(dlg != NULL);
    EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_STAR_COUNT, TBM_GETPOS, 0, 0), 700);
    EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_STAR_SPEED, TBM_GETPOS, 0, 0), 3);
    SendDlgItemMessageA(dlg, IDC_STAR_COUNT, TBM_SETPOS, TRUE, 250);
    SendDlgItemMessageA(dlg, IDC_STAR_SPEED, TBM_SETPOS, TRUE, 9);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Ended(8000));
    EXPECT_EQ(GetSetting("Count"), 250u);
    EXPECT_EQ(GetSetting("Speed"), 9u);
    SetSetting("Count", oldCount);
    SetSetting("Speed", oldSpeed);
}

TEST_F(StarsSaverTest, HandEditedOutOfRangeSettingsDoNotBreakIt) {
    DWORD oldCount = GetSetting("Count"), oldSpeed = GetSetting("Speed");
    SetSetting("Count", 99999);
    SetSetting("Speed", 1000);
    Start(HostArg("/p "));
    PumpMessages(1500);  // a few dozen frames
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), (DWORD)WAIT_TIMEOUT);
    EXPECT_TRUE(GetWindow(host, GW_CHILD) != NULL);
    SetSetting("Count", oldCount);
    SetSetting("Speed", oldSpeed);
}

TEST_F(StarsSaverTest, FullScreenIgnoresTwitchButEndsOnMouseMove) {
    Start("/S");
    HWND w = NULL;
    ASSERT_TRUE(PumpUntil([&] { return (w = FindWindowA("WindowsScreenSaverClass", NULL)) != NULL; }, 5000));
    RECT rc = {};
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.right - rc.left, GetSystemMetrics(SM_CXSCREEN));
    PumpMessages(500);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    in.mi.dx = 1;
    SendInput(1, &in, sizeof in);
    PumpMessages(1000);
    // Closing hides the window at once; the process may take seconds more.
    EXPECT_TRUE(IsWindowVisible(w));
    in.mi.dx = 40;
    SendInput(1, &in, sizeof in);
    EXPECT_TRUE(Ended(8000));
}

}  // namespace
