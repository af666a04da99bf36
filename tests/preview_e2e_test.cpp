// The real novra.exe with a probe saver: a hung saver's stop leaves the
// viewer answering, and no saver outlives the viewer.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "support/test_support.h"

namespace {

// novra.exe copied into a fresh folder, so its settings file (naming the
// saver) is the test's own.
struct Viewer {
    explicit Viewer(const char *saver) {
        char temp[MAX_PATH], name[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        GetTempFileNameA(temp, "nvb", 0, name);
        DeleteFileA(name);
        folder = std::string(name) + "\\";
        CreateDirectoryA(folder.c_str(), NULL);
        CopyFileA((ProgramFolder() + "novra.exe").c_str(), (folder + "novra.exe").c_str(), FALSE);
        WriteIni(folder + "novra.ini", "SYSTEM", "SCREENSAVER_1", ProbePath(saver).c_str());
        std::string command = "\"" + folder + "novra.exe\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
        // The only viewer windows here are those of the started novra.exe.
        PumpUntil([&] { return (window = FindWindowA("NOVRAClass", NULL)) != NULL; }, 10000);
    }
    ~Viewer() {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        DeleteFileA((folder + "novra.exe").c_str());
        DeleteFileA((folder + "novra.ini").c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string folder;
    PROCESS_INFORMATION process = {};
    HWND window = NULL;
};

TEST(ViewerProcess, StopsAHungSaverAndTakesSaversAlongWhenKilled) {
    ProbeLog log;
    Viewer viewer("probe_hangclose.scr");
    ASSERT_TRUE(viewer.window != NULL);
    ASSERT_TRUE(log.WaitFor("paint", 1, 10000));
    PostMessageA(viewer.window, WM_COMMAND, IDM_STOP, 0);
    EXPECT_TRUE(log.WaitFor("WM_CLOSE", 1, 3000));
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000));
    DWORD_PTR result;
    EXPECT_NE(SendMessageTimeoutA(viewer.window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result), 0) << "hung";

    PostMessageA(viewer.window, WM_COMMAND, IDM_RECENT_1, 0);  // the same saver again
    ASSERT_TRUE(log.WaitFor("paint", 2, 10000));
    TerminateProcess(viewer.process.hProcess, 1);
    DWORD killed = GetTickCount();
    bool gone = WaitNoProcessesNamed("probe", 3000);
    printf("saver gone %lu ms after the viewer was killed\n", GetTickCount() - killed);
    EXPECT_TRUE(gone);
    if (!gone)  // end the orphans by the ids they logged
        for (const std::string &line : log.Lines()) {
            unsigned long pid = 0;
            HANDLE orphan = sscanf(line.c_str(), "%*s %lu", &pid) == 1 ? OpenProcess(PROCESS_TERMINATE, FALSE, pid) : NULL;
            if (orphan != NULL) TerminateProcess(orphan, 1), CloseHandle(orphan);
        }
}

}  // namespace
