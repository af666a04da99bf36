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
