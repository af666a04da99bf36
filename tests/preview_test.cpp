/* The live preview in a viewer window of this process, with real probe
 * savers: command lines, play states, stops, closing, the notice of a saver
 * that is not running, leaks and help. */
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/state.h"
#include "host/launcher.h"
#include "res/resource.h"
#include "res/version.h"
#include "support/test_support.h"
#include "window/saver_notice.h"

namespace {

/* Events made as the viewer is destroyed take the values of handles it
 * closed: closing one again would end an event. */
std::vector<HANDLE> reused(64);

void ReuseClosedHandles(UINT message)
{
    for (size_t i = 0; message == WM_DESTROY && i < reused.size(); i++)
        reused[i] = CreateEventA(NULL, FALSE, FALSE, NULL);
}

void ExpectReusedHandlesOpen()
{
    for (HANDLE handle : reused) {
        EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(handle, 0)) << "closed twice: " << handle;
        CloseHandle(handle);
    }
}

TEST(SaverCommand, NamesThePathWholeAndFitsItsBuffer)
{
    const std::string longest = "C:\\a b\\" + std::string(249, 'x') + ".scr";   /* 260 */
    const struct {
        std::string path;
        const char *switchText;
        UINT_PTR parent;
        size_t size;
        std::string want;   /* empty: does not fit */
    } rows[] = {
        {"C:\\My Savers\\a b.scr", "/p", 656402, COMMAND_BUFFER, "\"C:\\My Savers\\a b.scr\" /p 656402"},
        {"s.scr", "/c", 0x80000010u, COMMAND_BUFFER, "s.scr /c -2147483632"},
        {"C:\\a b\\\x95\x5C", "/S", 0, COMMAND_BUFFER, "\"C:\\a b\\\x95\x5C\" /S"},
        {longest, "/p", 0x80000000u, COMMAND_BUFFER, "\"" + longest + "\" /p -2147483648"},
        {"a b.scr", "/S", 0, 13, "\"a b.scr\" /S"},
        {"a b.scr", "/S", 0, 12, ""},
        {"C:\\x\\probe.scr\" /s x", "/p", 5, COMMAND_BUFFER, ""},
    };
    for (const auto &row : rows) {
        char buffer[COMMAND_BUFFER] = "";
        int fits = BuildSaverCommand(buffer, row.size, row.path.c_str(), row.switchText, (HWND)row.parent);
        EXPECT_EQ(row.want.empty() ? 0 : 1, fits) << row.path << " in " << row.size;
        EXPECT_EQ(row.want, fits == 1 ? buffer : "");
    }
}

/* Sent from another thread at the first WM_CLOSE a probe logs, so that it
 * is handled inside the bounded wait of a stop (of a saver that hangs in
 * WM_CLOSE): the stop must leave alone what the handler left, a destroyed
 * window or a new preview. */
struct SendDuringStop {
    const ProbeLog *log;
    HWND window;
    UINT message;
    WPARAM wParam;
};

DWORD WINAPI SendOnFirstClose(void *data)
{
    const SendDuringStop *send = (const SendDuringStop *)data;
    for (int wait = 0; wait < 1000; wait++) {
        if (!send->log->Events("WM_CLOSE").empty())
            return SendMessageA(send->window, send->message, send->wParam, 0);
        Sleep(5);
    }
    return 1;
}

/* Whatever the saver does, whatever is handled during a stop, and however
 * the viewer ends, it stays usable, ends the saver's whole run and leaves
 * nothing running; a failed start changes neither title nor state. The
 * settings are on disk before a closing viewer's saver goes. */
TEST(PreviewStop, EverySaverEndsEveryWay)
{
    const std::string probe = ProbePath("probe.scr");
    const std::string hang = ProbePath("probe_hangclose.scr");
    const std::string launcher = ProbePath("probe_launcher.scr");
    const std::string launched = "start \"" + hang + "\" /p #";
    const std::string title = NOVRA_TITLE;
    const struct {
        std::string saver;
        std::vector<UINT> commands;
        UINT during;        /* sent during the first stop's wait: WM_CLOSE, a Reset, or 0 */
        bool exit;          /* closed by the Exit command rather than WM_CLOSE */
        std::string line;   /* after the commands; empty: the window is gone */
        Strings trail;      /* the whole row's, the close included; empty: not checked, nothing painted */
    } rows[] = {
        {"", {IDM_START_SAVER, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS}, 0, false,
         "ready | " + title + " | commands on", {}},
        {ProbePath("probe_exitnow.scr"), {IDM_RESET}, 0, false,
         "preview | " + PreviewTitle(ProbePath("probe_exitnow.scr")) + " | commands on", {}},
        {ProbePath("probe_toplevel.scr"), {IDM_RESET}, 0, false,
         "preview | " + PreviewTitle(ProbePath("probe_toplevel.scr")) + " | commands on", {}},
        {probe, {}, 0, false, "preview | " + PreviewTitle(probe) + " | commands on",
         {"start " + probe + " /p #", "WM_CLOSE", "?exit 7"}},
        {probe, {IDM_STOP, IDM_SIZE_VGA, IDM_RESET}, 0, false, "stopped | " + title + " | commands off",
         {"start " + probe + " /p #", "WM_CLOSE", "?exit 7"}},
        {ProbePath("probe_ignoreclose.scr"), {IDM_STOP}, 0, false, "stopped | " + title + " | commands off",
         {"start " + ProbePath("probe_ignoreclose.scr") + " /p #", "WM_CLOSE"}},
        {hang, {IDM_STOP}, 0, true, "stopped | " + title + " | commands off", {"start " + hang + " /p #", "WM_CLOSE"}},
        {ProbePath("probe_children.scr"), {IDM_STOP}, 0, false, "stopped | " + title + " | commands off",
         {"start " + ProbePath("probe_children.scr") + " /p #", "WM_CLOSE child 2", "WM_CLOSE child 1", "WM_CLOSE",
          "?exit 7"}},
        /* the real saver it launched, slow to close, goes with the run */
        {launcher, {IDM_STOP}, 0, false, "stopped | " + title + " | commands off",
         {"start " + launcher + " /p #", "?exit 0", launched, "?exit 0", "WM_CLOSE"}},
        {launcher, {}, 0, true, "preview | " + PreviewTitle(launcher) + " | commands on",
         {"start " + launcher + " /p #", "?exit 0", launched, "?exit 0", "WM_CLOSE"}},
        /* no saver for a destroyed window; the new preview is not ended */
        {hang, {IDM_RESET}, WM_CLOSE, false, "", {"start " + hang + " /p #", "WM_CLOSE"}},
        {hang, {IDM_RESET}, IDM_RESET, false, "preview | " + PreviewTitle(hang) + " | commands on",
         {"start " + hang + " /p #", "WM_CLOSE", "start " + hang + " /p #", "WM_CLOSE"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.saver + (row.exit ? " Exit" : "") + (row.during != 0 ? " during a stop" : ""));
        ProbeLog log;
        HWND window = OpenViewer({row.saver}, row.trail.empty() ? NULL : &log);
        SendDuringStop send = {&log, window, (UINT)(row.during == WM_CLOSE ? WM_CLOSE : WM_COMMAND), row.during};
        HANDLE sender = row.during != 0 ? CreateThread(NULL, 0, SendOnFirstClose, &send, 0, NULL) : NULL;
        Spy(window, [](UINT message, WPARAM) { ReuseClosedHandles(message); });
        for (UINT id : row.commands)
            Command(window, id);
        EXPECT_TRUE(sender == NULL || JoinThread(sender));
        EXPECT_EQ(row.line, IsWindow(window) ? ViewerLine() : "");
        bool stopped = row.line.compare(0, 7, "stopped") == 0;
        EXPECT_TRUE(!stopped || WaitNoProcessesNamed("probe", 5000)) << "Stop ends the whole run";
        bool previewing = row.during != IDM_RESET || PumpUntil([&] { return ChildWindows(window).size() == 1; }, 5000);
        EXPECT_TRUE(previewing) << "the new preview was ended";
        bool savedLate = false;
        DeleteFileA(TestSettingsPath().c_str());
        Spy(window, [&](UINT message, WPARAM wParam) {
            if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_DESTROY)
                savedLate = savedLate || IniSection(TestSettingsPath(), "WINDOW").empty();
            ReuseClosedHandles(message);
        });
        MSG quit;
        if (IsWindow(window)) {
            SendMessageA(window, row.exit ? WM_COMMAND : WM_CLOSE, IDM_EXIT, 0);
            EXPECT_TRUE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
        }
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(savedLate) << "the saver's window went before the settings were saved";
        EXPECT_TRUE(row.during == WM_CLOSE || !IniSection(TestSettingsPath(), "WINDOW").empty());
        ExpectReusedHandlesOpen();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
        EXPECT_TRUE(row.trail.empty() || TrailIs(row.trail, log.Trail(), window));
        /* A saver ended as it starts may not live to log it: the viewer's own count. */
        long starts = std::count(row.trail.begin(), row.trail.end(), "start " + row.saver + " /p #");
        EXPECT_TRUE(row.trail.empty() || starts == (long)GetState()->childStarts) << GetState()->childStarts;
        EndProcessesNamed("probe");
    }
}

std::wstring Notice()
{
    wchar_t wide[NOTICE_BUFFER] = L"";
    MultiByteToWideChar(CP_ACP, 0, GetState()->saverNotice, -1, wide, NOTICE_BUFFER);
    return wide;
}

std::wstring SystemMessage(DWORD error)
{
    wchar_t text[NOTICE_BUFFER] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0, text, NOTICE_BUFFER, NULL);
    std::wstring message = text;
    return message.substr(0, message.find_last_not_of(L"\r\n ") + 1);
}

bool Lit(COLORREF color)
{
    return color != RGB(0, 0, 0);
}

/* Sets "NAME=value" in the environment the viewer hands to its savers;
 * "NAME=" removes it. */
void SetProbeSwitch(const std::string &set)
{
    size_t equals = set.find('=');
    if (equals != std::string::npos)
        SetEnvironmentVariableA(set.substr(0, equals).c_str(),
                                equals + 1 < set.size() ? set.c_str() + equals + 1 : NULL);
}

/* A saver that ends by itself, or cannot start, is explained in the client
 * area within a second; a failed start also leaves the title bare, which
 * shows as it is reached from a running preview. A saver that only
 * launched the real one has not ended while that runs: the notice waits
 * for the run's last process, and gives the launcher's own code. Only the
 * platform's crash codes are crashes: exit(-1) is not. The first row also
 * shows that the watch ends once the end is noted, and that the notice
 * goes when a saver starts again. */
TEST(Notice, SaysWhyTheSaverIsNotRunning)
{
    const std::string probe = ProbePath("probe.scr");
    const std::string notProgram = MakeTempFolder("") + "text.scr";
    std::ofstream(notProgram) << "not a program";
    const struct {
        std::string saver;
        const char *set;    /* a probe switch, "NOVRA_PROBE_...=value", or "" */
        std::wstring notice;
    } rows[] = {
        {ProbePath("probe_exitnow.scr"), "", L"スクリーンセーバーが終了しました (終了コード 0x00000003)"},
        {ProbePath("probe_exitnow.scr"), "NOVRA_PROBE_EXIT_CODE=-1",
         L"スクリーンセーバーが終了しました (終了コード 0xFFFFFFFF)"},
        {probe, "NOVRA_PROBE_CRASH=1", L"スクリーンセーバーが異常終了しました: 0xC0000094 (整数のゼロ除算)"},
        {probe, "NOVRA_PROBE_CRASH=breakpoint", L"スクリーンセーバーが異常終了しました: 0x80000003 (ブレークポイント)"},
        {ProbePath("probe_launcher.scr"), "", L"スクリーンセーバーが終了しました (終了コード 0x00000000)"},
        {notProgram, "", L"スクリーンセーバーを起動できません: " + SystemMessage(ERROR_BAD_EXE_FORMAT)},
    };
    ProbeLog log;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.saver + " " + row.set);
        bool fails = row.saver == notProgram;
        SetProbeSwitch(row.set);
        HWND window = OpenViewer(fails ? Strings{probe, row.saver} : Strings{row.saver}, fails ? &log : NULL);
        if (fails)
            Command(window, IDM_RECENT_2);
        SetProbeSwitch(std::string(row.set).substr(0, std::string(row.set).find('=') + 1));
        if (row.saver == ProbePath("probe_launcher.scr")) {
            ASSERT_TRUE(log.WaitFor("window", 1, 5000));
            PumpMessages(600);
            EXPECT_EQ(L"", Notice()) << "while the real saver runs";
            HANDLE real = OpenProcess(PROCESS_TERMINATE, FALSE, log.Entries("window").back().pid);
            TerminateProcess(real, 1);
            CloseHandle(real);
        }
        EXPECT_TRUE(PumpUntil([] { return !Notice().empty(); }, 1000));
        EXPECT_EQ(row.notice, Notice());
        EXPECT_LT(0, PixelRun(window, Lit));
        EXPECT_EQ("preview | " + (fails ? NOVRA_TITLE : PreviewTitle(row.saver)) + " | commands on", ViewerLine());
        if (&row == rows) {
            int ticks = 0;
            Spy(window, [&](UINT message, WPARAM) { ticks += message == WM_TIMER; });
            PumpMessages(600);
            EXPECT_EQ(0, ticks) << "the watch goes on after the end was noted";
            Command(window, IDM_RESET);
            EXPECT_EQ(L"", Notice()) << "after a saver started again";
        }
        CloseViewer();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
        log.Clear();
    }
    DeleteFileA(notProgram.c_str());
}

/* The system's message for a saver that asks for elevation is not in
 * Japanese everywhere (and Wine starts such a saver anyway): the notice
 * names the reason itself. */
TEST(Notice, NamesASaverThatAsksForElevation)
{
    OpenViewer();
    NoteStartFailure(740);
    EXPECT_EQ(L"スクリーンセーバーを起動できません: 管理者として実行する必要があります (管理者の権限を求めるセーバーです)", Notice());
    CloseViewer();
}

/* Wine counts no handles: count the values that name an open one. A new
 * handle takes a free slot of the table, which stays far below 1024 slots
 * here; each look is a call to the server, so look no further. */
DWORD HandlesInUse()
{
    DWORD count = 0;
    DWORD flags;
    for (UINT_PTR value = 4; value < 0x1000; value += 4)
        count += GetHandleInformation((HANDLE)value, &flags) ? 1 : 0;
    return count;
}

TEST(PreviewStop, RestartsLeakNothing)
{
    const int restarts = 8;
    HWND window = OpenViewer({ProbePath("probe.scr")});
    DWORD before[3] = {};
    for (int restart = 1; restart <= restarts + 1; restart++) {
        ASSERT_TRUE(PumpUntil([&] { return ChildWindows(window).size() == 1; }, 5000));
        DWORD now[3] = {HandlesInUse(), GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                        GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
        if (restart == 3)
            std::copy(now, now + 3, before);
        /* One object leaked per restart would exceed this. */
        for (int kind = 0; restart > restarts && kind < 3; kind++)
            EXPECT_LE(now[kind], before[kind] + (restarts - 3) / 2) << "handles, GDI, USER: " << kind;
        Command(window, IDM_RESET);
    }
    if (before[1] == 0 && before[2] == 0)
        printf("GDI and USER object counts: not reported here (Wine), not checked\n");
    CloseViewer();
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
}

/* Where NOVRA.hlp stands beside the program, WinHelp opens it (this one is
 * no help file, and the help program says so, naming it); otherwise the
 * help page beside it opens in the program the shell has for ".html" files:
 * here a probe registered for them in this private prefix, which logs what
 * it was given and ends. */
TEST(Help, OpensTheHelpFileOrElseThePage)
{
    const std::string handler = ProbePath("probe_exitnow.scr");
    const std::string command = "\"" + handler + "\" \"%1\"";
    RegSetKeyValueA(HKEY_CLASSES_ROOT, ".html", NULL, REG_SZ, "NovraTestPage", 14);
    RegSetKeyValueA(HKEY_CLASSES_ROOT, "NovraTestPage\\shell\\open\\command", NULL, REG_SZ, command.c_str(),
                    (DWORD)command.size() + 1);
    const std::string helpFile = ProgramFolder() + "NOVRA.hlp";
    ProbeLog pages;
    HWND window = OpenViewer();

    std::ofstream(helpFile) << "not a help file";
    BoxAnswer told = {IDOK, L""};
    HANDLE answer = AnswerMessageBox(&told);
    Command(window, IDM_HELP);
    EXPECT_TRUE(JoinThread(answer));
    EXPECT_NE(std::wstring::npos, told.text.find(L"NOVRA.hlp")) << told.text.c_str();
    EXPECT_TRUE(WaitNoProcessesNamed("winhlp32", 5000));
    DeleteFileA(helpFile.c_str());

    Command(window, IDM_HELP);
    pages.WaitFor("start", 1, 5000);
    EXPECT_EQ(Strings{"start \"" + handler + "\" \"" + ProgramFolder() + "NOVRA.html\""}, pages.Events("start"));
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    CloseViewer();
}

}  // namespace
