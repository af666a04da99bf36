#include "test_support.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <fstream>
#include <sstream>

#include "app/shell.h"
#include "app/state.h"
#include "res/resource.h"
#include "settings/settings.h"

std::string ProgramFolder()
{
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));
    std::string folder(path, length);
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
    char path[SETTINGS_PATH_BUFFER];
    if (SettingsFilePath(path, sizeof(path)) != 1)
        return std::string();
    return path;
}

void RemoveTestSettings()
{
    DeleteFileA(TestSettingsPath().c_str());
}

void PumpMessages(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            /* A closed viewer's quit: the tests own the loop. */
            if (message.message == WM_QUIT)
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

HWND OpenViewer()
{
    static bool registered;
    HINSTANCE instance = GetModuleHandleA(NULL);

    if (!registered)
        registered = RegisterMainClass(instance, MAIN_CLASS_NAME) != 0;
    if (CreateMainWindow(instance, MAIN_CLASS_NAME, SW_SHOWNORMAL) != 1)
        return NULL;
    return GetState()->mainWindow;
}

HWND OpenViewerWith(const Strings &savers)
{
    RemoveTestSettings();
    for (size_t slot = 0; slot < savers.size(); slot++) {
        std::string key = "SCREENSAVER_" + std::to_string(slot + 1);
        WriteIni(TestSettingsPath(), "SYSTEM", key.c_str(), savers[slot].c_str());
    }
    return OpenViewer();
}

void CloseViewer()
{
    if (IsWindow(GetState()->mainWindow))
        SendMessageA(GetState()->mainWindow, WM_CLOSE, 0, 0);
    PumpMessages(50);
}

void Command(HWND window, UINT id)
{
    SendMessageA(window, WM_COMMAND, id, 0);
}

void Resize(HWND window, int width, int height)
{
    SetWindowPos(window, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

bool Grayed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::string ClientEvent(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return "client " + std::to_string(client.right) + " " + std::to_string(client.bottom);
}

std::string WindowTitle(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
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
static std::string menuStates;

static LRESULT CALLBACK WatchModalLoops(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *sent = (const CWPSTRUCT *)lParam;
    if (sent->message == WM_INITMENUPOPUP) {
        HMENU menu = (HMENU)sent->wParam;
        menuStates = std::to_string(GetMenuItemCount(menu));
        menuStates += Grayed(menu, IDM_FULL_SCREEN) ? " G" : " E";
        menuStates += Grayed(menu, IDM_RESTORE_SIZE) ? "G" : "E";
    }
    if (sent->message == WM_ENTERIDLE && sent->wParam == MSGF_MENU)
        EndMenu();
    if (sent->message == WM_ENTERIDLE && sent->wParam == MSGF_DIALOGBOX && dialogAction) {
        std::function<void(HWND)> action = dialogAction;
        dialogAction = nullptr;
        action((HWND)sent->lParam);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

static void WatchThisThread()
{
    static HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchModalLoops, NULL,
                                          GetCurrentThreadId());
    (void)hook;
}

void WhenDialogIdle(const std::function<void(HWND)> &action)
{
    WatchThisThread();
    dialogAction = action;
}

std::string ContextMenuStates(HWND window, UINT message)
{
    HELPINFO help = {sizeof(help), HELPINFO_WINDOW, 0, window, 0, {0, 0}};
    WatchThisThread();
    menuStates = "no menu";
    SendMessageA(window, message, (WPARAM)window, message == WM_HELP ? (LPARAM)&help : -1);
    return menuStates;
}

std::string OpenThroughDialog(HWND window, const char *name)
{
    std::string initial;
    WhenDialogIdle([&](HWND dialog) {
        const int fileNameBox = 1148;
        char text[MAX_PATH + 1] = "";
        GetDlgItemTextA(dialog, fileNameBox, text, sizeof(text));
        initial = text;
        if (name != NULL)
            SetDlgItemTextA(dialog, fileNameBox, name);
        PostMessageA(dialog, WM_COMMAND, name != NULL ? IDOK : IDCANCEL, 0);
    });
    Command(window, IDM_OPEN);
    return initial;
}

void DropFiles(HWND window, const Strings &names, bool wide)
{
    std::string list;
    for (const std::string &name : names) {
        wchar_t text[MAX_PATH + 1] = L"";
        int length = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, text, MAX_PATH + 1);
        if (wide)
            list.append((const char *)text, length * sizeof(wchar_t));
        else
            list.append(name.c_str(), name.size() + 1);
    }
    list.append(wide ? sizeof(wchar_t) : 1, '\0');
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    DROPFILES *header = (DROPFILES *)GlobalLock(drop);
    header->pFiles = sizeof(DROPFILES);
    header->fWide = wide;
    memcpy(header + 1, list.data(), list.size());
    GlobalUnlock(drop);
    SendMessageA(window, WM_DROPFILES, (WPARAM)drop, 0);
}

Strings IniSection(const std::string &file, const char *section)
{
    std::vector<char> buffer(32768);
    DWORD length = GetPrivateProfileSectionA(section, buffer.data(), (DWORD)buffer.size(),
                                             file.c_str());
    Strings keys;
    for (DWORD at = 0; at < length; at += (DWORD)keys.back().size() + 1)
        keys.push_back(&buffer[at]);
    return keys;
}

void WriteIni(const std::string &file, const char *section, const char *key, const char *value)
{
    WritePrivateProfileStringA(section, key, value, file.c_str());
}

std::string ReadFileText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ProbeLog::ProbeLog()
{
    char folder[MAX_PATH + 1];
    char file[MAX_PATH + 1];
    GetTempPathA(sizeof(folder), folder);
    GetTempFileNameA(folder, "prb", 0, file);
    path = file;
    SetEnvironmentVariableA("NOVRA_PROBE_LOG", path.c_str());
}

ProbeLog::~ProbeLog()
{
    SetEnvironmentVariableA("NOVRA_PROBE_LOG", NULL);
    DeleteFileA(path.c_str());
}

void ProbeLog::Clear()
{
    std::ofstream(path, std::ios::trunc);
}

Strings ProbeLog::Lines() const
{
    Strings lines;
    std::istringstream in(ReadFileText(path));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

Strings ProbeLog::Events(const std::string &prefix) const
{
    Strings events;
    for (const std::string &line : Lines()) {
        size_t pid = line.find(' ');
        size_t event = line.find(' ', pid + 1);
        if (pid != std::string::npos && event != std::string::npos
            && line.compare(event + 1, prefix.size(), prefix) == 0)
            events.push_back(line.substr(event + 1));
    }
    return events;
}

bool ProbeLog::WaitFor(const std::string &prefix, size_t count, DWORD timeoutMs) const
{
    return PumpUntil([&] { return Events(prefix).size() >= count; }, timeoutMs);
}

std::vector<DWORD> ProcessesNamed(const char *prefix)
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
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

/* Spares the tests after a failed one the programs it left running. */
void EndProcessesNamed(const char *prefix)
{
    for (DWORD id : ProcessesNamed(prefix)) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
        if (process == NULL)
            continue;
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

ViewerCopy::ViewerCopy(const std::string &exe, const std::string &tail)
    : folder(MakeTempFolder(tail)), exe(exe)
{
    CopyFileA((ProgramFolder() + "novra.exe").c_str(), (folder + exe).c_str(), FALSE);
}

ViewerCopy::~ViewerCopy()
{
    for (HANDLE process : processes) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        DeleteFileA((folder + found.cFileName).c_str());
    FindClose(search);
    RemoveDirectoryA(folder.c_str());
}

HWND ViewerCopy::Start(const std::string &arguments)
{
    STARTUPINFOA startup = {};
    PROCESS_INFORMATION run = {};
    std::string command = "\"" + folder + exe + "\"" + arguments;
    startup.cb = sizeof(startup);
    if (!CreateProcessA((folder + exe).c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, NULL,
                        &startup, &run))
        return NULL;
    CloseHandle(run.hThread);
    processes.push_back(run.hProcess);
    HWND found = NULL;
    PumpUntil([&] {
        found = FindWindowExA(NULL, found, MAIN_CLASS_NAME, NULL);
        bool ours = GetWindowThreadProcessId(found, NULL) == run.dwThreadId;
        return found != NULL && ours && IsWindowVisible(found);
    }, 10000);
    return found;
}

DWORD ViewerCopy::Close(HWND window)
{
    DWORD code = STILL_ACTIVE;
    PostMessageA(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(Process(), 10000);
    GetExitCodeProcess(Process(), &code);
    return code;
}
