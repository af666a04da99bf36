/* The real program started as a user would: a copy of novra.exe in a
 * fresh folder, so that its settings file starts absent. */
#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"

typedef std::vector<std::string> Names;

static Names FilesIn(const std::string &folder)
{
    Names names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

/* A temporary folder (the program perhaps in a folder inside it) where
 * copies of the viewer run; at the end every copy still running is ended
 * and the folders are removed. */
struct Sandbox {
    std::string top, path;
    std::vector<PROCESS_INFORMATION> runs;

    explicit Sandbox(const std::string &name, const char *inner = "")
    {
        char temp[MAX_PATH + 1];
        GetTempPathA(sizeof(temp), temp);
        top = temp + ("novra_shell_" + std::to_string(GetCurrentProcessId()) + "_" + name + "\\");
        path = top + inner;
        CreateDirectoryA(top.c_str(), NULL);
        CreateDirectoryA(path.c_str(), NULL);
    }
    ~Sandbox()
    {
        for (PROCESS_INFORMATION &run : runs) {
            if (WaitForSingleObject(run.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(run.hProcess, 1), WaitForSingleObject(run.hProcess, 5000);
            CloseHandle(run.hThread), CloseHandle(run.hProcess);
        }
        for (const std::string &folder : {path, top}) {
            for (const std::string &name : FilesIn(folder))
                DeleteFileA((folder + name).c_str());
            RemoveDirectoryA(folder.c_str());
        }
    }
    /* Starts the copy named `exe`; its main window once shown, or NULL. */
    HWND Start(const std::string &exe, const std::string &arguments = "")
    {
        STARTUPINFOA startup = {};
        PROCESS_INFORMATION run = {};
        std::string command = "\"" + path + exe + "\"" + arguments;
        startup.cb = sizeof(startup);
        CopyFileA((ProgramFolder() + "novra.exe").c_str(), (path + exe).c_str(), TRUE);
        if (CreateProcessA((path + exe).c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, NULL,
                           &startup, &run) != TRUE)
            return NULL;
        runs.push_back(run);
        HWND found = NULL;
        PumpUntil([&] {
            for (HWND w = NULL; (w = FindWindowExA(NULL, w, "NOVRAClass", NULL)) != NULL;) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == run.dwProcessId && IsWindowVisible(w))
                    return (found = w) != NULL;
            }
            return false;
        }, 10000);
        return found;
    }
    /* The exit code of the copy after a close; STILL_ACTIVE if it went on. */
    DWORD Close(HWND window)
    {
        DWORD owner = 0, code = STILL_ACTIVE;
        GetWindowThreadProcessId(window, &owner);
        PostMessageA(window, WM_CLOSE, 0, 0);
        for (PROCESS_INFORMATION &run : runs)
            if (run.dwProcessId == owner && WaitForSingleObject(run.hProcess, 10000) == WAIT_OBJECT_0)
                GetExitCodeProcess(run.hProcess, &code);
        return code;
    }
};

static std::string Title(HWND window)
{
    char text[128] = "";
    return GetWindowTextA(window, text, sizeof(text)), text;
}

TEST(Shell, StartsAndKeepsItsSettingsBesideItself)
{
    ASSERT_EQ(932u, GetACP()) << "the last two rows are double-byte in the Japanese code page";
    const struct { const char *label, *folder, *exe, *arguments, *ini; } rows[] = {
        {"plain", "", "novra.exe", "", "novra.ini"},
        {"arguments ignored", "", "novra.exe", " C:\\none\\x.scr /s", "novra.ini"},
        {"no extension", "", "viewer", "", "viewer.ini"},
        {"two dots", "", "my.viewer.exe", "", "my.viewer.ini"},
        {"folder with trail byte 0x5C", "\x95\x5C\\", "novra.exe", "", "novra.ini"},
        {"trail byte 0x5C after the dot", "\x95\x5C\\", "a.\x83\x5C", "", "a.ini"},
    };
    int index = 0;
    for (const auto &row : rows) {
        Sandbox box(std::to_string(index++), row.folder);
        HWND window = box.Start(row.exe, row.arguments);
        ASSERT_TRUE(window != NULL) << row.label;
        EXPECT_EQ("NOVRA Ver 1.03", Title(window)) << row.label;
        EXPECT_TRUE(GetMenu(window) != NULL) << row.label;
        EXPECT_EQ(0u, box.Close(window)) << row.label;
        Names expected = {row.exe, row.ini};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, FilesIn(box.path)) << row.label;
        EXPECT_EQ(Names({"START_PLAY_STATE=0", "SCREENSAVER_1=", "SCREENSAVER_2=", "SCREENSAVER_3=",
                         "SCREENSAVER_4=", "SCREENSAVER_5="}),
                  IniSection(box.path + row.ini, "SYSTEM")) << row.label;
    }
}

TEST(Shell, SecondInstanceOpensItsOwnWindow)
{
    Sandbox box("twice");
    HWND first = box.Start("novra.exe"), second = box.Start("novra.exe");
    ASSERT_TRUE(first != NULL && second != NULL);
    EXPECT_NE(first, second);
    EXPECT_EQ("NOVRA Ver 1.03", Title(second));
    EXPECT_EQ(0u, box.Close(second));
    EXPECT_TRUE(IsWindowVisible(first)) << "the first stays open";
    EXPECT_EQ(0u, box.Close(first));
}
