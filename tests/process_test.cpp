/* The real program, started as a user would: a copy of novra.exe in a
 * fresh folder, driven from this process. */
#include <gtest/gtest.h>

#include "res/resource.h"
#include "res/version.h"
#include "support/test_support.h"

namespace {

TEST(Program, StartsAndKeepsItsSettingsBesideItself)
{
    ASSERT_EQ(932u, GetACP()) << "the last row is double-byte in the Japanese code page";
    const struct {
        const char *exe;
        const char *ini;
        const char *folder;
        const char *arguments;
    } rows[] = {
        {"novra.exe", "novra.ini", "", ""},
        {"novra.exe", "novra.ini", "", " C:\\none\\x.scr /s"},
        {"viewer", "viewer.ini", "", ""},
        {"my.viewer.exe", "my.viewer.ini", "", ""},
        {"a.\x83\x5C", "a.ini", "\x95\x5C", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.folder) + row.exe + row.arguments);
        ViewerCopy copy(row.exe, row.folder);
        HWND window = copy.Start(row.arguments);
        ASSERT_TRUE(window != NULL);
        EXPECT_EQ(NOVRA_TITLE, WindowTitle(window));
        EXPECT_TRUE(GetMenu(window) != NULL);
        EXPECT_EQ(0u, copy.Close(window));
        EXPECT_EQ(std::set<std::string>({row.exe, row.ini}), FilesIn(copy.folder));
    }
}

/* A hung saver's stop leaves the viewer answering; a viewer that is killed
 * takes its saver along. */
TEST(Program, StopsAHungSaverAndTakesSaversAlongWhenKilled)
{
    ProbeLog log;
    ViewerCopy copy;
    WritePrivateProfileStringA("SYSTEM", "SCREENSAVER_1", ProbePath("probe_hangclose.scr").c_str(),
                               (copy.folder + "novra.ini").c_str());
    HWND window = copy.Start();
    ASSERT_TRUE(window != NULL);
    ASSERT_TRUE(log.WaitFor("paint", 1, 10000));
    PostMessageA(window, WM_COMMAND, IDM_STOP, 0);
    EXPECT_TRUE(log.WaitFor("WM_CLOSE", 1, 5000));
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    DWORD_PTR result;
    EXPECT_NE(0, SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result));
    PostMessageA(window, WM_COMMAND, IDM_RECENT_1, 0);
    ASSERT_TRUE(log.WaitFor("paint", 2, 10000));
    TerminateProcess(copy.Process(), 1);
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    EndProcessesNamed("probe");
}

/* Users' savers come in both widths: a viewer of each width previews,
 * restarts, configures and stops a saver of the other. */
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
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", "300");
    for (const auto &row : rows) {
        SCOPED_TRACE("viewer from " + row.viewer);
        ProbeLog log;
        ViewerCopy copy("novra.exe", "", row.viewer);
        WritePrivateProfileStringA("SYSTEM", "SCREENSAVER_1", (row.saver + "probe.scr").c_str(),
                                   (copy.folder + "novra.ini").c_str());
        HWND window = copy.Start();
        ASSERT_TRUE(log.WaitFor("paint", 1, 10000));
        EXPECT_EQ(1u, ChildWindows(window).size());
        SetWindowPos(window, NULL, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
        ASSERT_TRUE(log.WaitFor("paint", 2, 10000));
        EXPECT_EQ(ClientEvent(window), log.Events("client").back());
        PostMessageA(window, WM_COMMAND, IDM_SAVER_SETTINGS, 0);
        EXPECT_TRUE(log.WaitFor("exit 5", 1, 10000));
        EXPECT_TRUE(log.WaitFor("paint", 3, 10000)) << "the preview after the settings run";
        PostMessageA(window, WM_COMMAND, IDM_STOP, 0);
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
        EXPECT_TRUE(ChildWindows(window).empty());
        EXPECT_EQ(0u, copy.Close(window));
    }
    SetEnvironmentVariableA("NOVRA_PROBE_EXIT_MS", NULL);
}

}  // namespace
