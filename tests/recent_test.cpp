/* The recent list and the three ways a saver joins it: a recent entry,
 * the open dialog, and files dropped on the window. */
#include <gtest/gtest.h>

#include "app/state.h"
#include "res/resource.h"
#include "res/version.h"
#include "support/test_support.h"

namespace {

/* Nothing here exists, so starts fail quietly and only the list matters.
 * One folder has a dot in its name; two savers share a file name. */
const Strings savers = {"C:\\none\\s0.scr", "C:\\none\\v1.2\\s1.scr", "C:\\none\\s2.scr",
                        "C:\\none\\a\\same.scr", "C:\\none\\b\\same.scr"};

Strings RecentSlots()
{
    return Strings(GetState()->recent, GetState()->recent + RECENT_COUNT);
}

Strings SavedSlots()
{
    Strings slots;
    for (const std::string &key : IniSection(TestSettingsPath(), "SYSTEM")) {
        if (key.compare(0, 12, "SCREENSAVER_") == 0)
            slots.push_back(key.substr(key.find('=') + 1));
    }
    return slots;
}

std::string Starts(HWND window, const std::string &saver)
{
    return "start " + saver + " /p " + std::to_string((int)(INT_PTR)window);
}

TEST(RecentList, EntryMovesItsPathToTheFrontAndKeepsTheOldCopy)
{
    for (size_t chosen = 0; chosen < savers.size(); chosen++) {
        HWND window = OpenViewerWith(savers);
        Command(window, IDM_RECENT_1 + chosen);
        Strings list = {savers[chosen], savers[0], savers[1], savers[2], savers[3]};
        Strings menu;
        for (const std::string &path : list) {
            std::string id = std::to_string(IDM_RECENT_1 + menu.size());
            menu.push_back(id + " " + path.substr(path.rfind('\\') + 1));
        }
        EXPECT_EQ(menu, RecentMenuEntries(window)) << chosen;
        CloseViewer();
        EXPECT_EQ(list, SavedSlots()) << chosen;
    }
}

/* The list has a gap, which only the file can bring: it ends the menu, but
 * the paths after it stay in the list and go back to the file. */
TEST(OpenDialog, CancelChangesNothingAndAChoicePreviewsAtOnce)
{
    ProbeLog log;
    const std::string probe = ProbePath("probe.scr");
    const std::string children = ProbePath("probe_children.scr");
    const Strings list = {probe, "", savers[2], savers[3], savers[4]};
    HWND window = OpenViewerWith(list);
    ASSERT_TRUE(log.WaitFor("paint", 1, 5000));
    const std::vector<HWND> preview = ChildWindows(window);
    EXPECT_EQ("probe.scr", OpenThroughDialog(window, NULL));
    EXPECT_EQ(list, RecentSlots());
    EXPECT_EQ(Strings{"202 probe.scr"}, RecentMenuEntries(window));
    EXPECT_EQ(preview, ChildWindows(window));
    /* Typed without an extension; the dialog adds the saver's. */
    log.Clear();
    OpenThroughDialog(window, ProbePath("probe_children").c_str());
    EXPECT_EQ((Strings{children, probe, "", savers[2], savers[3]}), RecentSlots());
    EXPECT_EQ((Strings{"202 probe_children.scr", "203 probe.scr"}), RecentMenuEntries(window));
    EXPECT_TRUE(log.WaitFor("window", 1, 5000));
    EXPECT_EQ(Strings{"WM_CLOSE"}, log.Events("WM_CLOSE"));
    EXPECT_EQ(Strings{Starts(window, children)}, log.Events("start"));
    EXPECT_EQ(std::string(NOVRA_TITLE) + " [" + children + "]", WindowTitle(window));
    /* Already in the list: the new copy goes in front, the old one stays. */
    OpenThroughDialog(window, probe.c_str());
    CloseViewer();
    EXPECT_EQ((Strings{probe, children, probe, "", savers[2]}), SavedSlots());
    EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
}

/* A drop does what a choice in the open dialog does, with the first .scr
 * among the files; a drop without one is ignored. */
TEST(DroppedFiles, FirstSaverAmongThemIsChosen)
{
    const std::string probe = ProbePath("probe.scr");
    const std::string children = ProbePath("probe_children.scr");
    const std::string upper = ProbePath("probe_children.SCR");
    const struct {
        Strings files;
        bool wide;
        std::string chosen;   /* empty: ignored */
    } rows[] = {
        {{children}, false, children},
        {{"C:\\none\\read me.txt", upper, probe}, true, upper},
        {{"C:\\none\\a.txt", "C:\\none\\b.scrx"}, false, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.files.back());
        ProbeLog log;
        HWND window = OpenViewerWith({probe, savers[1]});
        ASSERT_TRUE(log.WaitFor("paint", 1, 5000));
        const std::string title = WindowTitle(window);
        DWORD running = GetState()->processInfo.dwProcessId;
        DropFiles(window, row.files, row.wide);
        if (row.chosen.empty()) {
            EXPECT_EQ((Strings{probe, savers[1], "", "", ""}), RecentSlots());
            EXPECT_EQ(running, GetState()->processInfo.dwProcessId);
            EXPECT_EQ(title, WindowTitle(window));
        } else {
            EXPECT_EQ((Strings{row.chosen, probe, savers[1], "", ""}), RecentSlots());
            std::string name = row.chosen.substr(row.chosen.rfind('\\') + 1);
            EXPECT_EQ((Strings{"202 " + name, "203 probe.scr", "204 s1.scr"}),
                      RecentMenuEntries(window));
            EXPECT_TRUE(log.WaitFor("window", 2, 5000));
            EXPECT_EQ(Starts(window, row.chosen), log.Events("start").back());
            EXPECT_EQ(std::string(NOVRA_TITLE) + " [" + row.chosen + "]", WindowTitle(window));
        }
        CloseViewer();
        EXPECT_TRUE(WaitNoProcessesNamed("probe", 5000));
    }
}

}  // namespace
