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

/* A probe's preview start, as it logs its command line. */
std::string PreviewStart(const std::string &saver, HWND window)
{
    std::string path = saver.find(' ') == std::string::npos ? saver : "\"" + saver + "\"";
    return "start " + path + " /p " + std::to_string((int)(INT_PTR)window);
}

/* Started as a user starts it (with a saver named on its command line, or
 * several arguments, or keys pressed in its own loop, which alone
 * translates them), then closed or killed: the savers it started and the
 * recent list it kept. The first argument that names a saver is opened as
 * a dropped one, its own first preview; a relative name is made full. A
 * killed viewer takes its saver along. A viewer of either width previews
 * a saver of the other. */
TEST(Program, RunsAsAUserStartsIt)
{
    const std::string folder = MakeTempFolder(" b args");
    const std::string stored = ProbePath("probe_children.scr");
    const Strings copies = {"my probe.scr", "saver1.scr", "saver2.scr", "saver10.scr"};
    for (const std::string &name : copies)
        CopyFileA(ProbePath("probe.scr").c_str(), (folder + name).c_str(), FALSE);
    std::ofstream(folder + "read me.txt") << "text";
    const char *otherBin = getenv("NOVRA_OTHER_BIN");
    const std::string other = otherBin != NULL ? std::string(otherBin) + "\\" : "";
    const std::string own = ProgramFolder();
    struct Row {
        std::string label;
        std::string from;           /* the viewer's folder */
        std::string arguments;
        const char *currentFolder;
        std::vector<WPARAM> keys;
        Strings starts;             /* the savers it previews, in order */
        Strings kept;               /* the first recent slots; empty: killed */
    };
    std::vector<Row> rows = {
        {"a path with a blank", own, "\"" + folder + "my probe.scr\"", NULL, {}, {folder + "my probe.scr"},
         {folder + "my probe.scr", stored}},
        {"the first of several, relative", own, "C:\\none\\x.scr \"read me.txt\" saver2.scr", folder.c_str(), {},
         {folder + "saver2.scr"}, {folder + "saver2.scr", stored}},
        {"none names a saver", own, "C:\\none\\x.scr \"" + folder + "read me.txt\"", NULL, {}, {stored}, {stored, ""}},
        {"Page Down, then Page Up", own, "\"" + folder + "saver2.scr\"", NULL, {VK_NEXT, VK_PRIOR},
         {folder + "saver2.scr", folder + "saver10.scr", folder + "saver2.scr"},
         {folder + "saver2.scr", folder + "saver10.scr", stored}},
        {"killed", own, "", NULL, {}, {stored}, {}},
    };
    if (otherBin != NULL) {
        rows.push_back({"this width's saver in the other width's viewer", other, "", NULL, {}, {stored}, {stored}});
        rows.push_back({"the other width's saver", own, "\"" + other + "probe.scr\"", NULL, {}, {other + "probe.scr"},
                        {other + "probe.scr", stored}});
    } else {
        printf("no programs of the other width: %s\n", getenv("NOVRA_CROSS_SKIP") ? getenv("NOVRA_CROSS_SKIP") : "");
    }
    for (const Row &row : rows) {
        SCOPED_TRACE(row.label);
        ProbeLog log;
        ViewerCopy copy("novra.exe", "", row.from);
        const std::string settings = copy.folder + "novra.ini";
        WritePrivateProfileStringA("SYSTEM", "SCREENSAVER_1", stored.c_str(), settings.c_str());
        HWND window = copy.Start(row.arguments, row.currentFolder);
        Strings starts;
        for (size_t at = 0; at < row.starts.size(); at++) {
            if (at > 0)
                PostMessageA(window, WM_KEYDOWN, row.keys[at - 1], 0);
            ASSERT_TRUE(log.WaitFor("client", at + 1, 10000));
            starts.push_back(PreviewStart(row.starts[at], window));
        }
        EXPECT_EQ(starts, log.Events("start"));
        EXPECT_EQ(ClientEvent(window), log.Events("client").back());
        if (row.kept.empty())
            TerminateProcess(copy.process, 1);
        else
            EXPECT_EQ(0u, copy.Close(window));
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
        EXPECT_TRUE(WaitNoProcessesNamed("saver", 5000));
        EXPECT_TRUE(WaitNoProcessesNamed("my probe", 5000));
        for (size_t slot = 0; slot < row.kept.size(); slot++) {
            char path[MAX_PATH + 1] = "";
            std::string key = "SCREENSAVER_" + std::to_string(slot + 1);
            GetPrivateProfileStringA("SYSTEM", key.c_str(), "", path, sizeof(path), settings.c_str());
            EXPECT_EQ(row.kept[slot], path) << key;
        }
    }
    for (const std::string &name : copies)
        DeleteFileA((folder + name).c_str());
    DeleteFileA((folder + "read me.txt").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
