// The real novra.exe with a probe saver: a hung saver's stop leaves the
// viewer answering, and no saver outlives the viewer.
#include <gtest/gtest.h>
#include "res/resource.h"
#include "support/test_support.h"

namespace {
// A copy of novra.exe under a name of its own keeps its own settings file,
// naming the saver, beside it.
struct Viewer {
    explicit Viewer(const char *saver) {
        CopyFileA((ProgramFolder() + "novra.exe").c_str(), (path + ".exe").c_str(), FALSE);
        DeleteFileA((path + ".ini").c_str());
        WriteIni(path + ".ini", "SYSTEM", "SCREENSAVER_1", ProbePath(saver).c_str());
        std::string command = "\"" + path + ".exe\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
        // The only viewer windows here are those of the started copy.
        PumpUntil([&] { return (window = FindWindowA("NOVRAClass", NULL)) != NULL; }, 10000);
    }
    ~Viewer() {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hProcess), CloseHandle(process.hThread);
        DeleteFileA((path + ".exe").c_str()), DeleteFileA((path + ".ini").c_str());
    }
    const std::string path = ProgramFolder() + "novra_e2e";
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
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000));
    for (DWORD pid : ProcessesNamed("probe"))  // end any that outlived it, sparing the tests after this one
        if (HANDLE orphan = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) TerminateProcess(orphan, 1), CloseHandle(orphan);
}
}  // namespace
