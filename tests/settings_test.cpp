/* Path splitting, and the settings file as the platform's profile
 * functions write it, around a viewer window in this process. */
#include <gtest/gtest.h>

#include "app/state.h"
#include "settings/path.h"
#include "support/test_support.h"

typedef std::vector<std::string> Keys;

TEST(Settings, SplitPath)
{
    ASSERT_EQ(932u, GetACP()) << "the double-byte rows need the Japanese code page";
    const std::string d(300, 'd'), n(300, 'n'), e(300, 'e');
    const struct { const char *label; std::string path, drive, dir, name, ext; } rows[] = {
        {"plain", "C:\\Tools\\novra.exe", "C:", "\\Tools\\", "novra", ".exe"},
        {"forward slashes", "D:/a/b/saver.scr", "D:", "/a/b/", "saver", ".scr"},
        {"network path", "\\\\host\\share\\x.scr", "", "\\\\host\\share\\", "x", ".scr"},
        {"no extension", "C:\\Tools\\viewer", "C:", "\\Tools\\", "viewer", ""},
        {"two dots", "C:\\Tools\\my.viewer.exe", "C:", "\\Tools\\", "my.viewer", ".exe"},
        {"dot in folder only", "C:\\v1.2\\viewer", "C:", "\\v1.2\\", "viewer", ""},
        {"trail byte 0x5C in folder", "C:\\\x95\x5C\\a.exe", "C:", "\\\x95\x5C\\", "a", ".exe"},
        {"trail byte 0x5C after dot", "C:\\x\\a.\x83\x5C", "C:", "\\x\\", "a", ".\x83\x5C"},
        {"long components", "C:\\" + d + "\\" + n + "." + e, "C:", "\\" + d.substr(0, 254),
         n.substr(0, 255), "." + e.substr(0, 254)},
    };
    for (const auto &row : rows) {
        PathParts parts;
        SplitPath(row.path.c_str(), &parts);
        EXPECT_EQ(Keys({row.drive, row.dir, row.name, row.ext}),
                  Keys({parts.drive, parts.directory, parts.name, parts.extension})) << row.label;
    }
}

static Keys Geometry(const RECT &r, int top)
{
    return {"X=" + std::to_string(r.left), "Y=" + std::to_string(r.top),
            "WIDTH=" + std::to_string(r.right - r.left),
            "HEIGHT=" + std::to_string(r.bottom - r.top), "WIN_TOP=" + std::to_string(top)};
}

static void WriteKeys(const char *section, const Keys &keys)
{
    for (const std::string &key : keys)
        WriteIni(TestSettingsPath(), section, key.substr(0, key.find('=')).c_str(),
                 key.substr(key.find('=') + 1).c_str());
}

TEST(Settings, FirstRunLoadsDefaultsAndCloseWritesAllKeys)
{
    RemoveTestSettings();
    HWND window = OpenViewer();
    ASSERT_TRUE(window != NULL);
    ViewerState *s = GetState();
    EXPECT_EQ((std::vector<int>{-1, -1, -1, -1, 0, 0}),
              (std::vector<int>{s->windowX, s->windowY, s->windowWidth, s->windowHeight,
                                s->alwaysOnTop, s->startPlayState}));
    EXPECT_EQ(Keys(5, ""), Keys(std::begin(s->recent), std::end(s->recent)));
    EXPECT_EQ(4, GetMenuItemCount(GetSubMenu(GetMenu(window), 0))) << "no recent entries";
    RECT rect;
    GetWindowRect(window, &rect);
    CloseViewer();

    EXPECT_EQ(Geometry(rect, 0), IniSection(TestSettingsPath(), "WINDOW"));
    std::string text = ReadFileText(TestSettingsPath());
    EXPECT_NE(std::string::npos, text.find("[SYSTEM]\r\nSTART_PLAY_STATE=0\r\nSCREENSAVER_1=\r\n"
                                           "SCREENSAVER_2=\r\nSCREENSAVER_3=\r\nSCREENSAVER_4=\r\n"
                                           "SCREENSAVER_5=\r\n")) << text;
    EXPECT_LT(text.find("[WINDOW]"), text.find("[SYSTEM]"));
}

/* Odd but legal values pass through a run unchanged, none validated; keys
 * and sections that are not ours stay where they were. */
TEST(Settings, ValuesSurviveARunUnchanged)
{
    const std::string longPath = "C:\\" + std::string(297, 'x');
    Keys window = Geometry({-40, -30, 380, 280}, 5), system = {"START_PLAY_STATE=7",
        "SCREENSAVER_1=C:\\none\\a.scr", "SCREENSAVER_2=", "SCREENSAVER_3=C:\\none\\gap.scr",
        "SCREENSAVER_4=" + longPath};
    window.push_back("COLOR=blue");
    RemoveTestSettings();
    WriteKeys("WINDOW", window);
    WriteKeys("SYSTEM", system);
    WriteKeys("OTHER", {"KEEP=me"});

    HWND handle = OpenViewer();
    ASSERT_TRUE(handle != NULL);
    ViewerState *s = GetState();
    RECT rect;
    GetWindowRect(handle, &rect);
    EXPECT_EQ(Geometry({-40, -30, 380, 280}, 5), Geometry(rect, s->alwaysOnTop)) << "placed as stored";
    EXPECT_EQ(7, s->startPlayState);
    EXPECT_EQ(0, GetWindowLongA(handle, GWL_EXSTYLE) & WS_EX_TOPMOST) << "only 1 means on top";
    EXPECT_EQ(Keys({"", "C:\\none\\gap.scr", longPath.substr(0, 260)}),
              Keys({s->recent[1], s->recent[2], s->recent[3]}));
    CloseViewer();

    system[4].resize(14 + 260);
    system.push_back("SCREENSAVER_5=");
    EXPECT_EQ(window, IniSection(TestSettingsPath(), "WINDOW"));
    EXPECT_EQ(system, IniSection(TestSettingsPath(), "SYSTEM"));
    EXPECT_EQ(Keys({"KEEP=me"}), IniSection(TestSettingsPath(), "OTHER"));
}

/* A minimised window reports the icon's place; the next run must open on
 * screen, at the restored rectangle. A maximised one is stored as is. */
TEST(Settings, MinimisedAndMaximisedWindows)
{
    const RECT stored = {100, 80, 500, 380};
    for (int show : {SW_MINIMIZE, SW_MAXIMIZE}) {
        RemoveTestSettings();
        WriteKeys("WINDOW", Geometry(stored, 0));
        HWND window = OpenViewer();
        ASSERT_TRUE(window != NULL);
        ShowWindow(window, show);
        PumpMessages(300);
        EXPECT_EQ(show == SW_MINIMIZE, IsIconic(window) == TRUE);
        RECT live;
        GetWindowRect(window, &live);
        CloseViewer();
        EXPECT_EQ(Geometry(show == SW_MINIMIZE ? stored : live, 0),
                  IniSection(TestSettingsPath(), "WINDOW")) << (show == SW_MINIMIZE ? "minimised" : "maximised");
    }
    RemoveTestSettings();
}
