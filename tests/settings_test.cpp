/* Path splitting, and the settings file as the platform's profile
 * functions write it, around a viewer window in this process. */
#include <gtest/gtest.h>

#include "settings/path.h"
#include "support/test_support.h"

namespace {

TEST(Settings, SplitPath)
{
    ASSERT_EQ(932u, GetACP()) << "the double-byte rows need the Japanese code page";
    const std::string d(300, 'd');
    const std::string n(300, 'n');
    const std::string e(300, 'e');
    const std::string rows[][2] = {   /* the path, then drive|directory|name|extension */
        {"C:\\Tools\\novra.exe", "C:|\\Tools\\|novra|.exe"},
        {"D:/a/b/saver.scr", "D:|/a/b/|saver|.scr"},
        {"\\\\host\\share\\x.scr", "|\\\\host\\share\\|x|.scr"},
        {"C:\\Tools\\my.viewer.exe", "C:|\\Tools\\|my.viewer|.exe"},
        {"C:\\v1.2\\viewer", "C:|\\v1.2\\|viewer|"},
        {"C:\\\x95\x5C\\a.exe", "C:|\\\x95\x5C\\|a|.exe"},
        {"C:\\x\\a.\x83\x5C", "C:|\\x\\|a|.\x83\x5C"},
        {"C:\\" + d + "\\" + n + "." + e,
         "C:|\\" + d.substr(0, 254) + "|" + n.substr(0, 255) + "|." + e.substr(0, 254)},
    };
    for (const auto &row : rows) {
        PathParts parts;
        SplitPath(row[0].c_str(), &parts);
        std::string split = std::string(parts.drive) + "|" + parts.directory + "|" + parts.name;
        EXPECT_EQ(row[1], split + "|" + parts.extension);
    }
}

Strings Geometry(const RECT &r)
{
    return {"X=" + std::to_string(r.left), "Y=" + std::to_string(r.top),
            "WIDTH=" + std::to_string(r.right - r.left),
            "HEIGHT=" + std::to_string(r.bottom - r.top), "WIN_TOP=0"};
}

Strings Geometry(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return Geometry(r);
}

/* A fresh settings file holding these "KEY=value" lines in each section. */
void WriteSettings(const std::vector<std::pair<const char *, Strings>> &sections)
{
    RemoveTestSettings();
    for (const auto &section : sections) {
        for (const std::string &line : section.second) {
            std::string key = line.substr(0, line.find('='));
            WriteIni(TestSettingsPath(), section.first, key.c_str(), &line[key.size() + 1]);
        }
    }
}

TEST(Settings, FirstRunWritesEveryKeyAtClose)
{
    HWND window = OpenViewerWith({});
    ASSERT_TRUE(window != NULL);
    EXPECT_EQ(4, GetMenuItemCount(GetSubMenu(GetMenu(window), 0))) << "no recent entries";
    Strings shown = Geometry(window);
    CloseViewer();
    EXPECT_EQ(shown, IniSection(TestSettingsPath(), "WINDOW"));
    std::string text = ReadFileText(TestSettingsPath());
    EXPECT_NE(std::string::npos, text.find("[SYSTEM]\r\nSTART_PLAY_STATE=0\r\nSCREENSAVER_1=\r\n"
                                           "SCREENSAVER_2=\r\nSCREENSAVER_3=\r\nSCREENSAVER_4=\r\n"
                                           "SCREENSAVER_5=\r\n")) << text;
    EXPECT_LT(text.find("[WINDOW]"), text.find("[SYSTEM]"));
}

/* Odd but legal values pass through a run unchanged, none validated; keys
 * and sections not ours stay. */
TEST(Settings, ValuesSurviveARunUnchanged)
{
    Strings window = {"X=-40", "Y=-30", "WIDTH=420", "HEIGHT=310", "WIN_TOP=5", "COLOR=blue"};
    Strings system = {"START_PLAY_STATE=7", "SCREENSAVER_1=C:\\none\\a.scr", "SCREENSAVER_2=",
                      "SCREENSAVER_3=C:\\none\\gap.scr", "SCREENSAVER_4=C:\\" + std::string(297, 'x')};
    WriteSettings({{"WINDOW", window}, {"SYSTEM", system}, {"OTHER", {"KEEP=me"}}});
    HWND handle = OpenViewer();
    ASSERT_TRUE(handle != NULL);
    EXPECT_EQ(0, GetWindowLongA(handle, GWL_EXSTYLE) & WS_EX_TOPMOST) << "only 1 means on top";
    CloseViewer();
    system[4].resize(14 + 260);
    system.push_back("SCREENSAVER_5=");
    EXPECT_EQ(window, IniSection(TestSettingsPath(), "WINDOW"));
    EXPECT_EQ(system, IniSection(TestSettingsPath(), "SYSTEM"));
    EXPECT_EQ(Strings({"KEEP=me"}), IniSection(TestSettingsPath(), "OTHER"));
}

/* A minimised window reports the icon's place; the next run must open on
 * screen, at the restored rectangle. A maximised one is stored as is. */
TEST(Settings, MinimisedAndMaximisedWindows)
{
    const Strings stored = Geometry({100, 80, 500, 380});
    for (int show : {SW_MINIMIZE, SW_MAXIMIZE}) {
        WriteSettings({{"WINDOW", stored}});
        HWND window = OpenViewer();
        ASSERT_TRUE(window != NULL);
        ShowWindow(window, show);
        PumpMessages(100);
        EXPECT_EQ(show == SW_MINIMIZE, IsIconic(window) == TRUE);
        Strings live = Geometry(window);
        CloseViewer();
        EXPECT_EQ(show == SW_MINIMIZE ? stored : live, IniSection(TestSettingsPath(), "WINDOW"));
    }
}

}  // namespace
