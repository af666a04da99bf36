/* The real program started as a user would: a copy of novra.exe in a
 * fresh folder, so that its settings file starts absent. */
#include <gtest/gtest.h>
#include <set>
#include "support/test_support.h"

static std::set<std::string> FilesIn(const std::string &folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
    FindClose(search);
    return names;
}
static DWORD ExitCodeAfterClose(HWND window)
{
    DWORD id = 0, code = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id);
    PostMessageA(window, WM_CLOSE, 0, 0), WaitForSingleObject(process, 10000);
    GetExitCodeProcess(process, &code), CloseHandle(process);
    return code;
}
/* A fresh temporary folder (its name ends in `tail`) for copies; at the end they are ended and it is removed. */
struct Sandbox {
    std::string path;
    std::vector<HANDLE> processes;
    explicit Sandbox(const char *tail = "")
    {
        char temp[MAX_PATH + 1];
        GetTempPathA(sizeof(temp), temp);
        path = temp + ("novra_shell_" + std::to_string(GetCurrentProcessId())) + tail + "\\";
        CreateDirectoryA(path.c_str(), NULL);
    }
    ~Sandbox()
    {
        for (HANDLE p : processes) TerminateProcess(p, 1), WaitForSingleObject(p, 5000), CloseHandle(p);
        for (const std::string &name : FilesIn(path)) DeleteFileA((path + name).c_str());
        RemoveDirectoryA(path.c_str());
    }
    /* Starts a copy named `exe`; its main window once shown, or NULL. */
    HWND Start(const std::string &exe, const std::string &arguments = "")
    {
        STARTUPINFOA startup = {};
        PROCESS_INFORMATION run = {};
        std::string file = path + exe, command = "\"" + file + "\"" + arguments;
        startup.cb = sizeof(startup);
        CopyFileA((ProgramFolder() + "novra.exe").c_str(), file.c_str(), TRUE);
        CreateProcessA(file.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &run);
        CloseHandle(run.hThread), processes.push_back(run.hProcess);
        HWND found = NULL;
        PumpUntil([&] {
            do found = FindWindowExA(NULL, found, "NOVRAClass", NULL);
            while (found && (GetWindowThreadProcessId(found, NULL) != run.dwThreadId || !IsWindowVisible(found)));
            return found != NULL;
        }, 10000);
        return found;
    }
};
TEST(Shell, StartsAndKeepsItsSettingsBesideItself)
{
    ASSERT_EQ(932u, GetACP()) << "the last two rows are double-byte in the Japanese code page";
    const struct { const char *exe, *ini, *folder = "", *arguments = ""; } rows[] = {
        {"novra.exe", "novra.ini"}, {"novra.exe", "novra.ini", "", " C:\\none\\x.scr /s"},
        {"viewer", "viewer.ini"}, {"my.viewer.exe", "my.viewer.ini"}, {"novra.exe", "novra.ini", "\x95\x5C"},
        {"a.\x83\x5C", "a.ini", "\x95\x5C"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.folder) + row.exe + row.arguments);
        Sandbox box(row.folder);
        HWND window = box.Start(row.exe, row.arguments);
        ASSERT_TRUE(window != NULL);
        EXPECT_EQ("NOVRA Ver 1.03", WindowTitle(window));
        EXPECT_TRUE(GetMenu(window) != NULL);
        EXPECT_EQ(0u, ExitCodeAfterClose(window));
        EXPECT_EQ(std::set<std::string>({row.exe, row.ini}), FilesIn(box.path));
        EXPECT_EQ(std::vector<std::string>({"START_PLAY_STATE=0", "SCREENSAVER_1=", "SCREENSAVER_2=",
                  "SCREENSAVER_3=", "SCREENSAVER_4=", "SCREENSAVER_5="}), IniSection(box.path + row.ini, "SYSTEM"));
    }
}
TEST(Shell, SecondInstanceOpensItsOwnWindow)
{
    Sandbox box;
    HWND first = box.Start("novra.exe"), second = box.Start("novra.exe");
    ASSERT_TRUE(first != NULL && second != NULL);
    EXPECT_EQ(0u, ExitCodeAfterClose(second));
    EXPECT_TRUE(IsWindowVisible(first)) << "the first stays open";
    EXPECT_EQ(0u, ExitCodeAfterClose(first));
}
