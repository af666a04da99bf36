/* The real program, started as a user would: a copy of novra.exe in a
 * fresh folder, driven from this process. */
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "app/shell.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace {

/* The names of the plain files in a folder. */
std::set<std::string> FilesIn(const std::string &folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.insert(found.cFileName);
    }
    FindClose(search);
    return names;
}

/* A copy of novra.exe (from the folder `from`) named `exe` in a fresh
 * folder, so that its settings file starts absent; the program it started
 * is ended and the folder removed. */
struct ViewerCopy {
    std::string folder;
    std::string exe;
    HANDLE process = NULL;

    explicit ViewerCopy(const std::string &name = "novra.exe", const std::string &tail = "",
                        const std::string &from = ProgramFolder())
        : folder(MakeTempFolder(tail)), exe(name)
    {
        CopyFileA((from + "novra.exe").c_str(), (folder + exe).c_str(), FALSE);
    }

    ~ViewerCopy()
    {
        if (process != NULL && TerminateProcess(process, 1))
            WaitForSingleObject(process, 5000);
        CloseHandle(process);
        for (const std::string &name : FilesIn(folder))
            DeleteFileA((folder + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }

    /* The program's main window once it shows, or NULL. */
    HWND Start(const std::string &arguments = "", const char *currentFolder = NULL)
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION run = {};
        std::string command = "\"" + folder + exe + "\" " + arguments;
        if (!CreateProcessA((folder + exe).c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, currentFolder, &startup,
                            &run))
            return NULL;
        CloseHandle(run.hThread);
        process = run.hProcess;
        HWND found = NULL;
        PumpUntil([&] {
            found = FindWindowExA(NULL, found, MAIN_CLASS_NAME, NULL);
            return found != NULL && GetWindowThreadProcessId(found, NULL) == run.dwThreadId && IsWindowVisible(found);
        }, 10000);
        return found;
    }

    /* Closes the window; the program's exit code. */
    DWORD Close(HWND window)
    {
        DWORD code = STILL_ACTIVE;
        PostMessageA(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(process, 10000);
        GetExitCodeProcess(process, &code);
        return code;
    }
};

/* The settings file is the program's path with its extension, if any,
 * replaced by ".ini"; a double-byte character whose second byte is a
 * backslash or a dot is no separator and no dot. */
TEST(Program, KeepsItsSettingsBesideItself)
{
    ASSERT_EQ(932u, GetACP()) << "double-byte rows in the Japanese code page";
    const struct {
        const char *program;
        const char *settings;
    } rows[] = {
        {"D:\\Tools\\viewer.exe", "D:\\Tools\\viewer.ini"},
        {"D:\\Tools\\my.viewer.exe", "D:\\Tools\\my.viewer.ini"},
        {"D:\\v1.2\\viewer", "D:\\v1.2\\viewer.ini"},
        {"\\\\server\\share\\\x95\x5C\\a.\x83\x5C", "\\\\server\\share\\\x95\x5C\\a.ini"},
    };
    for (const auto &row : rows) {
        char path[SETTINGS_PATH_BUFFER] = "";
        EXPECT_EQ(1, SettingsPathOf(row.program, path, sizeof(path))) << row.program;
        EXPECT_STREQ(row.settings, path);
    }
    /* The real program, as started from a folder of its own. */
    ViewerCopy copy("a.\x83\x5C", "\x95\x5C");
    HWND window = copy.Start();
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ("NOVRA Ver 1.03", WindowTitle(window)) << "whatever the version";
    EXPECT_EQ(0u, copy.Close(window));
    EXPECT_EQ(std::set<std::string>({"a.\x83\x5C", "a.ini"}), FilesIn(copy.folder));
}

/* A viewer that is killed takes its saver along: the saver runs in the
 * viewer's job. */
TEST(Program, TakesItsSaverAlongWhenKilled)
{
    ProbeLog log;
    ViewerCopy copy;
    WritePrivateProfileStringA("SYSTEM", "SCREENSAVER_1", ProbePath("probe.scr").c_str(),
                               (copy.folder + "novra.ini").c_str());
    ASSERT_TRUE(copy.Start() != NULL);
    ASSERT_TRUE(log.WaitFor("paint", 1, 10000));
    TerminateProcess(copy.process, 1);
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    EndProcessesNamed("probe");
}

/* A probe's preview start, as it logs its command line. */
std::string PreviewStart(const std::string &saver, HWND window)
{
    std::string path = saver.find(' ') == std::string::npos ? saver : "\"" + saver + "\"";
    return "start " + path + " /p " + std::to_string((int)(INT_PTR)window);
}

/* The first argument that names a saver is opened as a dropped one: the
 * first preview is its own (no start of the stored saver before it), and
 * it leads the stored list. A relative name is made full. Arguments that
 * name no saver leave the start as it was. */
TEST(Program, OpensTheSaverNamedOnItsCommandLine)
{
    const std::string folder = MakeTempFolder(" b args");
    const std::string stored = ProbePath("probe_children.scr");
    for (const char *name : {"my probe.scr", "saver2.scr"})
        CopyFileA(ProbePath("probe.scr").c_str(), (folder + name).c_str(), FALSE);
    std::ofstream(folder + "read me.txt") << "text";
    const struct {
        const char *label;
        std::string arguments;
        const char *currentFolder;
        std::string saver;
    } rows[] = {
        {"a path with a blank", "\"" + folder + "my probe.scr\"", NULL, folder + "my probe.scr"},
        {"the first of several, relative", "C:\\none\\x.scr \"read me.txt\" saver2.scr", folder.c_str(),
         folder + "saver2.scr"},
        {"none names a saver", "C:\\none\\x.scr \"" + folder + "read me.txt\"", NULL, stored},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        ProbeLog log;
        ViewerCopy copy;
        const std::string settings = copy.folder + "novra.ini";
        WritePrivateProfileStringA("SYSTEM", "SCREENSAVER_1", stored.c_str(), settings.c_str());
        HWND window = copy.Start(row.arguments, row.currentFolder);
        ASSERT_TRUE(log.WaitFor("paint", 1, 10000));
        EXPECT_EQ(Strings{PreviewStart(row.saver, window)}, log.Events("start"));
        EXPECT_EQ(0u, copy.Close(window));
        Strings slots;
        for (const char *key : {"SCREENSAVER_1", "SCREENSAVER_2"}) {
            char path[MAX_PATH + 1] = "";
            GetPrivateProfileStringA("SYSTEM", key, "", path, sizeof(path), settings.c_str());
            slots.push_back(path);
        }
        EXPECT_EQ((Strings{row.saver, row.saver == stored ? "" : stored}), slots);
    }
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    for (const char *name : {"my probe.scr", "saver2.scr", "read me.txt"})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

/* The keys reach the program's own loop, which alone translates them. */
TEST(Program, PageDownAndPageUpOpenTheNextAndPreviousSaver)
{
    const std::string folder = MakeTempFolder(" keys");
    for (const char *name : {"saver2.scr", "saver10.scr", "saver1.scr"})
        CopyFileA(ProbePath("probe.scr").c_str(), (folder + name).c_str(), FALSE);
    ProbeLog log;
    ViewerCopy copy;
    HWND window = copy.Start("\"" + folder + "saver2.scr\"");
    ASSERT_TRUE(log.WaitFor("paint", 1, 10000));
    const struct {
        WPARAM key;
        const char *saver;
    } rows[] = {
        {VK_NEXT, "saver10.scr"},
        {VK_PRIOR, "saver2.scr"},
    };
    for (const auto &row : rows) {
        log.Clear();
        PostMessageA(window, WM_KEYDOWN, row.key, 0);
        ASSERT_TRUE(log.WaitFor("start", 1, 5000)) << row.saver;
        EXPECT_EQ(Strings{PreviewStart(folder + row.saver, window)}, log.Events("start"));
    }
    EXPECT_EQ(0u, copy.Close(window));
    EXPECT_TRUE(WaitNoProcessesNamed("saver", 5000));
    for (const char *name : {"saver2.scr", "saver10.scr", "saver1.scr"})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

/* Users' savers come in both widths: a viewer of each width previews a
 * saver of the other. */
TEST(Program, HostsASaverOfTheOtherWidth)
{
    const char *otherBin = getenv("NOVRA_OTHER_BIN");
    if (otherBin == NULL)
        GTEST_SKIP() << "no programs of the other width: " << getenv("NOVRA_CROSS_SKIP");
    const std::string own = ProgramFolder();
    const std::string other = std::string(otherBin) + "\\";
    const struct {
        std::string viewer;
        std::string saver;
    } rows[] = {{own, other}, {other, own}};
    for (const auto &row : rows) {
        SCOPED_TRACE("viewer from " + row.viewer);
        ProbeLog log;
        ViewerCopy copy("novra.exe", "", row.viewer);
        WritePrivateProfileStringA("SYSTEM", "SCREENSAVER_1", (row.saver + "probe.scr").c_str(),
                                   (copy.folder + "novra.ini").c_str());
        HWND window = copy.Start();
        ASSERT_TRUE(log.WaitFor("paint", 1, 10000));
        EXPECT_EQ(1u, ChildWindows(window).size());
        EXPECT_EQ(ClientEvent(window), log.Events("client").back());
        EXPECT_EQ(0u, copy.Close(window));
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    }
}

}  // namespace
