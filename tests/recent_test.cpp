#include <gtest/gtest.h>
#include "app/state.h"
#include "res/resource.h"
#include "support/test_support.h"

namespace {
typedef std::vector<std::string> Strings;
/* Nothing here exists, so starts fail quietly and only the list matters.
 * S1's folder has a dot in its name; S3 and S4 share a file name. */
const Strings kSavers = {"C:\\none\\s0.scr", "C:\\none\\v1.2\\s1.scr", "C:\\none\\s2.scr",
                         "C:\\none\\a\\same.scr", "C:\\none\\b\\same.scr"};
Strings RecentSlots() { return Strings(GetState()->recent, GetState()->recent + RECENT_COUNT); }
Strings SavedSlots() {
    Strings slots;
    for (const std::string &key : IniSection(TestSettingsPath(), "SYSTEM"))
        if (key.compare(0, 12, "SCREENSAVER_") == 0)
            slots.push_back(key.substr(key.find('=') + 1));
    return slots;
}
/* Runs the Open command, answering the dialog with `name` (NULL: Cancel). */
std::string OpenThroughDialog(HWND window, const char *name) {
    std::string initial;
    HANDLE driver = DriveOpenDialog(window, name, &initial);
    SendMessageA(window, WM_COMMAND, IDM_OPEN, 0);
    EXPECT_TRUE(JoinThread(driver));
    return initial;
}
}  // namespace
TEST(RecentList, EntryMovesItsPathToTheFrontAndKeepsTheOldCopy) {
    for (int chosen = 0; chosen < 5; chosen++) {
        SCOPED_TRACE(chosen);
        HWND window = OpenViewerWith(kSavers);
        SendMessageA(window, WM_COMMAND, IDM_RECENT_1 + chosen, 0);
        Strings list = {kSavers[chosen], kSavers[0], kSavers[1], kSavers[2], kSavers[3]}, menu;
        for (const std::string &path : list)
            menu.push_back(std::to_string(IDM_RECENT_1 + menu.size()) + " " +
                           path.substr(path.rfind('\\') + 1));
        EXPECT_EQ(menu, RecentMenuEntries(window));
        CloseViewer();
        EXPECT_EQ(list, SavedSlots());
    }
}
/* The list has a gap, which only the file can bring: it ends the menu, but
 * the paths after it stay in the list and go back to the file. */
TEST(OpenDialog, CancelChangesNothingAndAChoicePreviewsAtOnce) {
    ProbeLog log;
    const std::string probe = ProbePath("probe.scr"), children = ProbePath("probe_children.scr");
    const Strings list = {probe, "", kSavers[2], kSavers[3], kSavers[4]};
    HWND window = OpenViewerWith(list);
    ASSERT_TRUE(log.WaitFor("paint", 1, 5000));
    const std::vector<HWND> preview = ChildWindows(window);
    const std::string title = WindowTitle(window);
    EXPECT_EQ("probe.scr", OpenThroughDialog(window, NULL));
    PumpMessages(300);
    EXPECT_EQ(list, RecentSlots());
    EXPECT_EQ(Strings{"202 probe.scr"}, RecentMenuEntries(window));
    EXPECT_EQ(preview, ChildWindows(window));
    EXPECT_EQ(title, WindowTitle(window));
    // Typed without an extension; the dialog adds the saver's.
    log.Clear();
    OpenThroughDialog(window, ProbePath("probe_children").c_str());
    EXPECT_EQ((Strings{children, probe, "", kSavers[2], kSavers[3]}), RecentSlots());
    EXPECT_EQ((Strings{"202 probe_children.scr", "203 probe.scr"}), RecentMenuEntries(window));
    EXPECT_TRUE(log.WaitFor("window", 1, 3000));
    EXPECT_EQ(Strings{"WM_CLOSE"}, log.Events("WM_CLOSE"));
    EXPECT_EQ(Strings{"start " + children + " /p " + std::to_string((int)(INT_PTR)window)},
              log.Events("start"));
    EXPECT_EQ("NOVRA Ver 1.03 [" + children + "]", WindowTitle(window));
    // Already in the list: the new copy goes in front, the old one stays.
    OpenThroughDialog(window, probe.c_str());
    CloseViewer();
    EXPECT_EQ((Strings{probe, children, probe, "", kSavers[2]}), SavedSlots());
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 3000));
}
