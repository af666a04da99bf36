#include "test_support.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <fstream>

#include "app/shell.h"
#include "app/state.h"
#include "res/resource.h"
#include "res/version.h"
#include "settings/settings.h"

std::string ProgramFolder()
{
    char path[MAX_PATH + 1];
    std::string folder(path, GetModuleFileNameA(NULL, path, sizeof(path)));
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string ProbePath(const char *name)
{
    return ProgramFolder() + name;
}

std::string MakeTempFolder(const std::string &tail)
{
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof(temp), temp);
    std::string folder = temp + ("novra" + std::to_string(GetCurrentProcessId())) + tail + "\\";
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

std::string TestSettingsPath()
{
    char path[SETTINGS_PATH_BUFFER] = "";
    SettingsFilePath(path, sizeof(path));
    return path;
}

Strings IniSection(const std::string &file, const char *section)
{
    std::vector<char> buffer(32768);
    DWORD length = GetPrivateProfileSectionA(section, buffer.data(), (DWORD)buffer.size(), file.c_str());
    Strings keys;
    for (DWORD at = 0; at < length; at += (DWORD)keys.back().size() + 1)
        keys.push_back(&buffer[at]);
    return keys;
}

HWND OpenViewer(const Strings &savers, const ProbeLog *log, const std::string &settings)
{
    static bool registered = RegisterMainClass(GetModuleHandleA(NULL), MAIN_CLASS_NAME) != 0;
    std::ofstream(TestSettingsPath(), std::ios::binary | std::ios::trunc) << settings;
    for (size_t slot = 0; slot < savers.size(); slot++) {
        std::string key = "SCREENSAVER_" + std::to_string(slot + 1);
        WritePrivateProfileStringA("SYSTEM", key.c_str(), savers[slot].c_str(), TestSettingsPath().c_str());
    }
    if (!registered || CreateMainWindow(GetModuleHandleA(NULL), MAIN_CLASS_NAME, SW_SHOWNORMAL, NULL) != 1)
        return NULL;
    if (log != NULL && !log->WaitFor("paint", log->Events("paint").size() + 1, 5000))
        ADD_FAILURE() << "no preview painted";
    return GetState()->mainWindow;
}

void CloseViewer()
{
    if (IsWindow(GetState()->mainWindow))
        SendMessageA(GetState()->mainWindow, WM_CLOSE, 0, 0);
    PumpMessages(50);
}

static std::function<void(UINT, WPARAM)> spyAction;
static WNDPROC viewerProc;

static LRESULT CALLBACK SpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    spyAction(message, wParam);
    return CallWindowProcA(viewerProc, window, message, wParam, lParam);
}

/* A second spy on the same window takes the first one's place. */
void Spy(HWND window, const std::function<void(UINT, WPARAM)> &spy)
{
    spyAction = spy;
    if ((WNDPROC)GetWindowLongPtrA(window, GWLP_WNDPROC) != SpyProc)
        viewerProc = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)SpyProc);
}

void Command(HWND window, UINT id)
{
    SendMessageA(window, WM_COMMAND, id, 0);
}

bool Grayed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::string WindowTitle(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string PreviewTitle(const std::string &saver)
{
    return std::string(NOVRA_TITLE) + " [" + saver + "]";
}

std::string ClientEvent(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return "client " + std::to_string(client.right) + " " + std::to_string(client.bottom);
}

Strings RecentMenuEntries(HWND window)
{
    HMENU file = GetSubMenu(GetMenu(window), 0);
    Strings entries;
    for (int position = 4; position < GetMenuItemCount(file); position++) {
        char caption[MAX_PATH + 1] = "";
        GetMenuStringA(file, position, caption, sizeof(caption), MF_BYPOSITION);
        entries.push_back(std::to_string(GetMenuItemID(file, position)) + " " + caption);
    }
    return entries;
}

std::string ViewerLine()
{
    static const char *const states[] = {"none", "ready", "preview", "stopped"};
    const ViewerState *state = GetState();
    int grayed = 0;
    for (UINT id : {IDM_START_SAVER, IDM_RESET, IDM_STOP, IDM_SAVER_SETTINGS})
        grayed += Grayed(state->mainMenu, id) ? 1 : 0;
    return std::string(states[state->playState & 3]) + " | " + WindowTitle(state->mainWindow) + " | commands " +
           (grayed == 0 ? "on" : grayed == 4 ? "off" : "mixed");
}

static std::string Joined(const Strings &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += "\n  " + line;
    return text;
}

::testing::AssertionResult TrailIs(const Strings &expected, const Strings &trail, HWND window)
{
    Strings wanted;
    for (std::string entry : expected) {
        size_t mark = entry.find('#');
        if (mark != std::string::npos)
            entry.replace(mark, 1, std::to_string((int)(INT_PTR)window));
        wanted.push_back(entry);
    }
    size_t at = 0;
    bool matched = true;
    for (const std::string &entry : wanted) {
        bool optional = entry[0] == '?';
        if (at < trail.size() && trail[at] == entry.substr(optional ? 1 : 0))
            at++;
        else if (!optional)
            matched = false;
    }
    if (matched && at == trail.size())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the trail was:" << Joined(trail) << "\nexpected:" << Joined(wanted);
}

static std::function<bool()> whenReady;
static std::function<void()> whenAction;
static DWORD whenStart;

static void CALLBACK OnWhenTimer(HWND, UINT, UINT_PTR timer, DWORD tick)
{
    if (!whenAction) {
        KillTimer(NULL, timer);
        return;
    }
    if (whenReady()) {
        std::function<void()> action = whenAction;
        whenAction = nullptr;
        KillTimer(NULL, timer);
        action();
    } else if (tick - whenStart > 10000) {
        ADD_FAILURE() << "what the test waited for did not come within 10 s; ending the probes";
        whenAction = nullptr;
        KillTimer(NULL, timer);
        EndProcessesNamed("probe");
    }
}

void When(const std::function<bool()> &ready, const std::function<void()> &action)
{
    whenReady = ready;
    whenAction = action;
    whenStart = GetTickCount();
    SetTimer(NULL, 0, 20, OnWhenTimer);
}

static BOOL CALLBACK FindDialogProc(HWND window, LPARAM found)
{
    char name[16] = "";
    if (!IsWindowVisible(window) || GetClassNameA(window, name, sizeof(name)) == 0 || strcmp(name, "#32770") != 0)
        return TRUE;
    *(HWND *)found = window;
    return FALSE;
}

void GuardFor10s()
{
    When([] { return false; }, [] {});
}

void CancelWhen()
{
    whenAction = nullptr;
}

void WhenDialog(const std::function<void(HWND)> &action)
{
    static HWND dialog;
    When([] {
        dialog = NULL;
        EnumThreadWindows(GetCurrentThreadId(), FindDialogProc, (LPARAM)&dialog);
        return dialog != NULL;
    }, [action] { action(dialog); });
}

int PixelRun(HWND window, bool (*matches)(COLORREF))
{
    RECT r;
    int best = 0;
    RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    for (int y = 0; y < r.bottom; y++) {
        for (int x = 0, run = 0; x < r.right; x++) {
            run = matches(GetPixel(dc, x, y)) ? run + 1 : 0;
            best = run > best ? run : best;
        }
    }
    ReleaseDC(window, dc);
    return best;
}

static DWORD WINAPI AnswerBox(void *data)
{
    BoxAnswer *answer = (BoxAnswer *)data;
    for (int tries = 0; tries < 200; tries++) {
        Sleep(50);
        HWND box = FindWindowA("#32770", NULL);
        wchar_t text[1024] = L"";
        if (box != NULL && GetDlgItemTextW(box, 0xFFFF, text, 1024)) {
            answer->text = text;
            return !PostMessageA(box, WM_COMMAND, answer->button, 0);
        }
    }
    return 1;
}

HANDLE AnswerMessageBox(BoxAnswer *answer)
{
    return CreateThread(NULL, 0, AnswerBox, answer, 0, NULL);
}

static std::vector<DWORD> ProcessesNamed(const char *prefix)
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (_strnicmp(entry.szExeFile, prefix, strlen(prefix)) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

bool WaitNoProcessesNamed(const char *prefix, DWORD timeoutMs)
{
    return PumpUntil([&] { return ProcessesNamed(prefix).empty(); }, timeoutMs);
}

void EndProcessesNamed(const char *prefix)
{
    for (DWORD id : ProcessesNamed(prefix)) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
}

static BOOL CALLBACK CollectChild(HWND window, LPARAM list)
{
    ((std::vector<HWND> *)list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, (LPARAM)&children);
    return children;
}

bool JoinThread(HANDLE thread)
{
    DWORD code = 1;
    PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 10000);
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code == 0;
}
