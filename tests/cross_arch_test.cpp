// A viewer of one width previews, restarts, configures and stops a saver of
// the other width: users' savers come in both kinds.
#include <gtest/gtest.h>
#include <windows.h>
#include <fstream>
#include <string>

namespace {
// Lines of the probes' log whose event (after tick and pid) starts with `event`; the last in `*last`.
int Count(const std::string &log, const std::string &event, std::string *last = nullptr) {
    std::ifstream in(log);
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        size_t at = line.find(' ', line.find(' ') + 1) + 1;
        if (at == 0 || line.compare(at, event.size(), event) != 0) continue;
        count++;
        if (last) *last = line.substr(at, line.find_last_not_of("\r") + 1 - at);
    }
    return count;
}
bool WaitFor(const std::string &log, const char *event, int count) {
    for (int ms = 0; ms < 15000 && Count(log, event) < count; ms += 50) Sleep(50);
    return Count(log, event) >= count;
}
BOOL CALLBACK KeepProbe(HWND child, LPARAM found) {
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpA(name, "NovraProbe") == 0) *(HWND *)found = child;
    return TRUE;
}
// The probe's preview window inside the viewer, at any depth.
HWND Preview(HWND viewer) {
    HWND found = NULL;
    EnumChildWindows(viewer, KeepProbe, (LPARAM)&found);
    return found;
}
// The viewer of `viewerBin` in a folder of its own, naming the probe of `saverBin`; closed when done.
struct Viewer {
    Viewer(const std::string &viewerBin, const std::string &saverBin, const std::string &dir) : folder(dir) {
        CreateDirectoryA(folder.c_str(), NULL);
        DeleteFileA(log.c_str());
        DeleteFileA((folder + "novra.ini").c_str());  // a stale window size could make the resize no change
        CopyFileA((viewerBin + "\\novra.exe").c_str(), (folder + "novra.exe").c_str(), FALSE);
        WritePrivateProfileStringA("SYSTEM", "SCREENSAVER_1", (saverBin + "\\probe.scr").c_str(), (folder + "novra.ini").c_str());
        SetEnvironmentVariableA("NOVRA_PROBE_LOG", log.c_str());
        SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "300");
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        CreateProcessA((folder + "novra.exe").c_str(), NULL, NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup, &process);
        for (int ms = 0; ms < 15000 && !window; ms += 50, Sleep(50))
            for (HWND w = NULL; (w = FindWindowExA(NULL, w, "NOVRAClass", NULL)) != NULL;) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == process.dwProcessId) window = w;
            }
    }
    ~Viewer() {
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    std::string folder, log = folder + "probe.log";
    PROCESS_INFORMATION process = {};
    HWND window = NULL;
};
class CrossArch : public testing::TestWithParam<bool> {};

TEST_P(CrossArch, PreviewsRestartsConfiguresAndStopsASaverOfTheOtherWidth) {
    const char *otherBin = getenv("NOVRA_OTHER_BIN"), *why = getenv("NOVRA_CROSS_SKIP");
    if (!otherBin) GTEST_SKIP() << "no programs of the other width (NOVRA_OTHER_BIN unset): " << (why ? why : "");
    std::string other = otherBin, own(MAX_PATH, '\0');
    own.erase(own.rfind('\\', GetModuleFileNameA(NULL, &own[0], MAX_PATH)));
    Viewer viewer(GetParam() ? other : own, GetParam() ? own : other, own + (GetParam() ? "\\cross_other\\" : "\\cross_own\\"));
    ASSERT_TRUE(viewer.window != NULL);
    EXPECT_TRUE(WaitFor(viewer.log, "paint", 1));
    EXPECT_TRUE(Preview(viewer.window) != NULL);
    SetWindowPos(viewer.window, NULL, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(WaitFor(viewer.log, "paint", 2));
    RECT area = {};
    GetClientRect(GetParent(Preview(viewer.window)), &area);
    std::string client;
    EXPECT_EQ(Count(viewer.log, "client", &client), 2);
    EXPECT_EQ(client, "client " + std::to_string(area.right) + " " + std::to_string(area.bottom));
    PostMessageA(viewer.window, WM_COMMAND, 32779, 0);  // the saver's own settings
    EXPECT_TRUE(WaitFor(viewer.log, "mode c", 1));
    EXPECT_TRUE(WaitFor(viewer.log, "exit 5", 1));
    PostMessageA(viewer.window, WM_COMMAND, 32778, 0);  // stop
    EXPECT_TRUE(WaitFor(viewer.log, "WM_CLOSE", 1));
    for (int ms = 0; ms < 5000 && Count(viewer.log, "exit") < Count(viewer.log, "start"); ms += 50) Sleep(50);
    EXPECT_EQ(Count(viewer.log, "exit"), Count(viewer.log, "start")) << "a probe outlived the stop";
    EXPECT_TRUE(Preview(viewer.window) == NULL);
}
INSTANTIATE_TEST_SUITE_P(BothWays, CrossArch, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool> &info) { return info.param ? "OtherViewer" : "OwnViewer"; });
}  // namespace
