#include "test_support.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <fstream>

#include "app/shell.h"
#include "app/state.h"
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

void Spy(HWND window, const std::function<void(UINT, WPARAM)> &spy)
{
    spyAction = spy;
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

/* Modal loops announce that they wait for input with WM_ENTERIDLE to their
 * owner; a hook on this thread sees it whoever the owner is. */
static std::function<void(HWND)> dialogAction;

static LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *sent = (const CWPSTRUCT *)lParam;
    if (sent->message == WM_ENTERIDLE && sent->wParam == MSGF_DIALOGBOX && dialogAction) {
        std::function<void(HWND)> action = dialogAction;
        dialogAction = nullptr;
        action((HWND)sent->lParam);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

static const HHOOK dialogHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchDialogs, NULL, GetCurrentThreadId());

void WhenDialogIdle(const std::function<void(HWND)> &action)
{
    dialogAction = action;
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
