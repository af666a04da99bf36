#include "test_support.h"

#include <tlhelp32.h>

#include <fstream>
#include <sstream>

#include "app/shell.h"
#include "app/state.h"
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

std::string TestSettingsPath()
{
    char path[SETTINGS_PATH_BUFFER];
    return SettingsFilePath(path, sizeof(path)) == 1 ? std::string(path) : std::string();
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
            if (message.message == WM_QUIT)
                continue;   /* a closed viewer's; the tests own the loop */
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

HWND OpenViewer(int showCommand)
{
    static bool registered;
    HINSTANCE instance = GetModuleHandleA(NULL);

    if (!registered)
        registered = RegisterMainClass(instance, MAIN_CLASS_NAME) != 0;
    if (CreateMainWindow(instance, MAIN_CLASS_NAME, showCommand) != 1)
        return NULL;
    return GetState()->mainWindow;
}

void CloseViewer()
{
    HWND window = GetState()->mainWindow;
    if (IsWindow(window))
        SendMessageA(window, WM_CLOSE, 0, 0);
    PumpMessages(50);
}

std::vector<std::string> IniSection(const std::string &file, const char *section)
{
    std::vector<char> buffer(32768);
    DWORD length = GetPrivateProfileSectionA(section, buffer.data(), (DWORD)buffer.size(),
                                             file.c_str());
    std::vector<std::string> keys;
    for (DWORD i = 0; i < length;) {
        std::string entry(&buffer[i]);
        keys.push_back(entry);
        i += (DWORD)entry.size() + 1;
    }
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
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

std::vector<std::string> ProbeLog::Lines() const
{
    std::vector<std::string> lines;
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

std::vector<std::string> ProbeLog::Events(const std::string &prefix) const
{
    std::vector<std::string> events;
    for (const std::string &line : Lines()) {
        size_t first = line.find(' ');
        size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
        if (second == std::string::npos)
            continue;
        std::string event = line.substr(second + 1);
        if (event.compare(0, prefix.size(), prefix) == 0)
            events.push_back(event);
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
    size_t length = strlen(prefix);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (_strnicmp(entry.szExeFile, prefix, length) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

bool WaitNoProcessesNamed(const char *prefix, DWORD timeoutMs)
{
    return PumpUntil([&] { return ProcessesNamed(prefix).empty(); }, timeoutMs);
}

static BOOL CALLBACK CollectChild(HWND window, LPARAM list)
{
    reinterpret_cast<std::vector<HWND> *>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, (LPARAM)&children);
    return children;
}

HWND OpenViewerWith(const std::vector<std::string> &savers)
{
    RemoveTestSettings();
    for (size_t i = 0; i < savers.size(); i++)
        WriteIni(TestSettingsPath(), "SYSTEM", ("SCREENSAVER_" + std::to_string(i + 1)).c_str(),
                 savers[i].c_str());
    return OpenViewer();
}

std::string WindowTitle(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::vector<std::string> RecentMenuEntries(HWND window)
{
    HMENU file = GetSubMenu(GetMenu(window), 0);
    std::vector<std::string> entries;
    for (int position = 4; position < GetMenuItemCount(file); position++) {
        char caption[MAX_PATH + 1] = "";
        GetMenuStringA(file, position, caption, sizeof(caption), MF_BYPOSITION);
        entries.push_back(std::to_string(GetMenuItemID(file, position)) + " " + caption);
    }
    return entries;
}

struct DialogAnswer {
    HWND owner;
    bool cancel;
    std::string name;
    std::string *initial;
};

static HWND FindOwnedDialog(HWND owner)
{
    for (HWND w = FindWindowExA(NULL, NULL, "#32770", NULL); w != NULL;
         w = FindWindowExA(NULL, w, "#32770", NULL)) {
        if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w))
            return w;
    }
    return NULL;
}

static DWORD WINAPI AnswerDialog(void *parameter)
{
    DialogAnswer *answer = static_cast<DialogAnswer *>(parameter);
    HWND dialog = NULL;
    for (int i = 0; i < 500 && dialog == NULL; i++) {
        Sleep(20);
        dialog = FindOwnedDialog(answer->owner);
    }
    DWORD result = 1;
    if (dialog != NULL) {
        Sleep(200);     /* let the dialog fill its controls */
        HWND box = GetDlgItem(dialog, 1148);
        char text[MAX_PATH + 1] = "";
        SendMessageA(box, WM_GETTEXT, sizeof(text), (LPARAM)text);
        if (answer->initial != NULL)
            *answer->initial = text;
        if (!answer->cancel)
            SendMessageA(box, WM_SETTEXT, 0, (LPARAM)answer->name.c_str());
        PostMessageA(dialog, WM_COMMAND, answer->cancel ? IDCANCEL : IDOK, 0);
        result = 0;
    }
    delete answer;
    return result;
}

HANDLE DriveOpenDialog(HWND owner, const char *name, std::string *initial)
{
    DialogAnswer *answer = new DialogAnswer{owner, name == NULL, name ? name : "", initial};
    return CreateThread(NULL, 0, AnswerDialog, answer, 0, NULL);
}

bool JoinThread(HANDLE thread)
{
    DWORD code = 1;
    if (WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0)
        GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code == 0;
}
