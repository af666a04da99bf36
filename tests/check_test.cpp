/* novracheck run against the project's own savers: each gets exactly the verdicts
 * its behaviour earns and is told why, with nothing else on the checker's output. */
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "check/screen_cover.h"
#include "support/test_support.h"

namespace {

/* Runs the checker with `set` ("NAME=value", several apart by blanks) in its savers' environment and
 * its error output joined to its output; its exit code and output. */
DWORD RunChecker(const std::string &arguments, std::string *output, const std::string &set = "")
{
    std::string command = "\"" + ProgramFolder() + "novracheck.exe\" " + arguments;
    std::istringstream words(set);
    Strings names;
    for (std::string word; words >> word;) {
        names.push_back(word.substr(0, word.find('=')));
        SetEnvironmentVariableA(names.back().c_str(), word.substr(word.find('=') + 1).c_str());
    }
    SECURITY_ATTRIBUTES inherited = {sizeof(inherited), NULL, TRUE};
    HANDLE reader = NULL;
    HANDLE writer = NULL;
    CreatePipe(&reader, &writer, &inherited, 0);
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer;
    startup.hStdError = writer;
    PROCESS_INFORMATION process = {};
    DWORD code = STILL_ACTIVE;
    BOOL started = CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
    CloseHandle(writer);
    char buffer[4096];
    DWORD got;
    while (ReadFile(reader, buffer, sizeof(buffer), &got, NULL) && got > 0)
        output->append(buffer, got);
    if (started && WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    if (started) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(reader);
    for (const std::string &name : names)
        SetEnvironmentVariableA(name.c_str(), NULL);
    return code;
}

/* The checks' names in the checker's order, from the list its usage prints. */
std::vector<std::string> CheckNames()
{
    std::string output;
    std::string line;
    std::vector<std::string> names;
    RunChecker("--only ?", &output);
    for (std::istringstream lines(output); std::getline(lines, line);) {
        if (line.compare(0, 2, "  ") == 0)
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
    }
    return names;
}

/* "PASS name" and the like for each check of a text report, and every line
 * that is no saver's header or summary, as a saver's own output would be. */
std::string Verdicts(const std::string &output)
{
    std::string verdicts;
    std::string line;
    for (std::istringstream lines(output); std::getline(lines, line);) {
        std::string verdict = line.substr(0, 5);
        if (verdict == "PASS " || verdict == "WARN " || verdict == "FAIL ")
            verdicts += line.substr(0, line.find_first_of(":( \r", 5)) + "\n";
        else if (line.size() > 1 && line.find(".scr") == std::string::npos)
            verdicts += line + "\n";
    }
    return verdicts;
}

struct Row {
    const char *saver;
    const char *set;        /* probe switches, "NOVRA_PROBE_...=value ...", or "" */
    const char *verdicts;   /* "PASS preview.window, FAIL orphans": the checks asked for, in the checker's order */
    DWORD code;
    const char *says;       /* what the report must say, or "" */
};

/* A row that names every check runs without --only. */
void CheckRows(const Row *rows, size_t count)
{
    static const std::vector<std::string> names = CheckNames();
    for (const Row *row = rows; row < rows + count; row++) {
        std::string only;
        std::string expected;
        std::string output;
        std::string verdict;
        size_t asked = 0;
        for (std::istringstream items(row->verdicts); std::getline(items >> std::ws, verdict, ',');) {
            only += (only.empty() ? "" : ",") + verdict.substr(5);
            expected += verdict + "\n";
            asked++;
        }
        only = asked == names.size() ? "" : "--only " + only + " ";
        EXPECT_EQ(row->code, RunChecker(only + "\"" + ProbePath(row->saver) + "\"", &output, row->set)) << output;
        EXPECT_EQ(expected, Verdicts(output)) << row->saver << " " << row->set << "\n" << output;
        EXPECT_NE(std::string::npos, output.find(row->says)) << row->says << "\n" << output;
        size_t cpu = output.find("% of a core over");   /* a share of the cores, never a wrapped difference */
        EXPECT_GE(1000, cpu == std::string::npos ? 0 : atoi(output.c_str() + output.rfind('(', cpu) + 1)) << output;
    }
}

}  // namespace

TEST(Check, EverySaverGetsTheVerdictsItsBehaviourEarns)
{
    const Row rows[] = {
        {"novra_stars.scr", "",   /* all but the areas, judged in the rows of probe_exitnow and probe_divide */
         "PASS preview.window, PASS preview.close, PASS preview.path_blank, PASS preview.cpu, PASS settings.owned, "
         "PASS fullscreen.covers, PASS fullscreen.ends_on_input, PASS orphans",
         0, "of a core over"},
        {"probe_exitnow.scr", "",
         "FAIL preview.window, FAIL preview.close, PASS preview.empty_area, PASS preview.tiny_area, "
         "FAIL preview.path_blank, WARN preview.cpu, FAIL settings.owned, FAIL fullscreen.covers, "
         "FAIL fullscreen.ends_on_input, PASS orphans",
         1, "ended with code 0x3 without a child window of the host"},
        {"probe_exitnow.scr", "NOVRA_PROBE_EXIT_CODE=-1", "FAIL preview.window", 1, "ended with code 0xFFFFFFFF without"},
        {"probe_ignoreclose.scr", "", "FAIL preview.close", 1, "the window ignored WM_CLOSE"},
        {"probe_hangclose.scr", "", "FAIL preview.close", 1, "did not answer WM_CLOSE within 500 ms"},
        {"probe_divide.scr", "", "FAIL preview.empty_area, PASS preview.tiny_area, PASS orphans", 1,
         "crashed: 0xC0000094, integer division by zero"},
        {"probe.scr", "NOVRA_PROBE_CRASH=1", "FAIL preview.window, PASS orphans", 1,
         "crashed: 0xC0000094, integer division by zero"},
        {"probe_orphan.scr", "", "PASS preview.window, FAIL orphans", 1, "still ran a second after it ended"},
        {"probe_orphan.scr", "NOVRA_PROBE_HELPER_MS=400", "PASS preview.close, PASS orphans", 0, ""},
        {"probe.scr", "", "PASS orphans", 0, "(1 run)"},   /* asked for alone, it makes a run */
        {"probe_toplevel.scr", "", "FAIL preview.window", 1, "made a top-level window"},
        {"probe.scr", "NOVRA_PROBE_SIZE_MS=100", "PASS preview.window", 0, "320x240"},
        {"probe_withdll.scr", "", "PASS preview.path_blank", 0, ""},
        {"probe.scr", "NOVRA_PROBE_SPIN=hop", "WARN preview.cpu", 0, "% of a core in a 320x240 preview"},
        {"probe.scr", "NOVRA_PROBE_OWNER=foreground", "FAIL settings.owned", 1, "owned by the window in front"},
        {"probe.scr", "NOVRA_PROBE_OWNER=none", "FAIL settings.owned", 1, "an unowned window 'Probe' appeared"},
        /* the move travels the 120 pixels it names: one try passes 115; past 120 the retry is needed */
        {"probe.scr", "NOVRA_PROBE_MOUSE_PX=115", "PASS fullscreen.ends_on_input", 0, ", 1 try)"},
        {"probe.scr", "NOVRA_PROBE_MOUSE_PX=125", "PASS fullscreen.ends_on_input", 0, ", 2 tries)"},
        {"probe.scr", "NOVRA_PROBE_DEAF_MS=60000", "FAIL fullscreen.ends_on_input", 1,
         "a key (Shift) did not end it in 2 tries; a 120-pixel mouse move did not end it in 2 tries (key"},
        {"probe.scr", "NOVRA_PROBE_DEAF_MS=60000 NOVRA_PROBE_EXIT_MS=400", "FAIL fullscreen.ends_on_input", 1,
         ": ended by itself after "},
    };
    CheckRows(rows, sizeof(rows) / sizeof(rows[0]));
}

TEST(CheckTwoMonitors, FullScreenCoversTheWholeVirtualScreen)
{
    if (GetSystemMetrics(SM_CMONITORS) < 2)
        GTEST_SKIP() << "needs a display of two monitors; this one has " << GetSystemMetrics(SM_CMONITORS);
    const Row rows[] = {
        {"probe.scr", "", "WARN fullscreen.covers", 0, "covers 1 of 2 monitors: "},
        {"novra_stars.scr", "", "PASS fullscreen.covers", 0, " monitors, virtual screen "},
    };
    CheckRows(rows, sizeof(rows) / sizeof(rows[0]));
}

TEST(CheckCover, WhatAWindowLeavesOfAMonitorIsOneRectangle)
{
    const RECT monitor = {1024, 0, 1824, 600};
    const RECT rows[][2] = {   /* the window, what it leaves of the monitor */
        {{0, 0, 1024, 768}, {1024, 0, 1824, 600}},       /* the primary only */
        {{0, 0, 1124, 768}, {1124, 0, 1824, 600}},       /* a strip on the right */
        {{0, 0, 1824, 768}, {1824, 600, 1824, 600}},     /* all of it */
    };
    for (const auto &row : rows) {
        RECT left = UncoveredPart(monitor, row[0]);
        EXPECT_TRUE(EqualRect(&row[1], &left)) << "row " << &row - rows << ": " << left.left << "," << left.top;
    }
}

/* A folder is every saver in it; the exit code is the worst of them, in any order. The JUnit
 * report of the first row is read with a real XML parser by check_junit_test.sh. */
TEST(Check, SeveralSaversReportsAndStartErrors)
{
    const std::string folder = MakeTempFolder("several");
    const std::string empty = MakeTempFolder("");
    const std::string text = "text & \x83\x65\x83\x4c\x83\x58\x83\x67.scr";   /* "text & テキスト.scr" in code page 932 */
    const std::string junit = ProgramFolder() + "check_test_junit.xml";
    std::string saver = folder + "probe.scr";
    CopyFileA(ProbePath("probe.scr").c_str(), saver.c_str(), FALSE);
    for (const char *name : {"probe_exitnow.scr", "probe_withdll.scr"})   /* the latter without its DLL */
        CopyFileA(ProbePath(name).c_str(), (folder + name).c_str(), FALSE);
    std::ofstream(folder + text) << "not a program";
    DeleteFileA(junit.c_str());
    for (size_t at = saver.find('\\'); at != std::string::npos; at = saver.find('\\', at + 2))
        saver.insert(at, "\\");
    const struct {
        std::string arguments;
        DWORD code;
        std::string says;
    } rows[] = {
        {"--junit \"" + junit + "\" --only preview.window,preview.path_blank \"" + folder.substr(0, folder.size() - 1) +
             "\"",
         2,
         "probe.scr: 2 passed, 0 warned, 0 failed\r\nprobe_exitnow.scr: 0 passed, 0 warned, 2 failed\r\n"
         "probe_withdll.scr: 0 passed, 1 warned, 1 failed\r\n" + text + ": not started (error 193)"},
        {"--json --only preview.close \"" + folder + "probe_exitnow.scr\" \"" + folder + "probe.scr\"", 1,
         "\"failed\": 1\r\n    },\r\n    {\r\n      \"saver\": \"" + saver + "\",\r\n      \"checks\": ["},
        {"--only preview.close \"" + folder + text + "\" \"" + folder + "probe_exitnow.scr\"", 2,
         "(error 193)\r\n" + folder + "probe_exitnow.scr\r\nFAIL preview.close"},
        {"--only orphans \"" + folder + text + "\"", 2, "(error 193)\r\n" + text + ": not started (error 193)"},
        {"\"" + ProbePath("no such saver.scr") + "\"", 2, ProbePath("no such saver.scr") + ": no such file"},
        {"\"" + empty.substr(0, empty.size() - 1) + "\"", 2, ": a folder without savers (.scr files)"},
        {std::string(260, 'x'), 2, "novracheck: " + std::string(260, 'x') + ": the path is too long"},
        {"--only preview.windw,orphans probe.scr", 2, "novracheck: unknown check 'preview.windw'\r\nusage:"},
    };
    for (const auto &row : rows) {
        std::string output;
        EXPECT_EQ(row.code, RunChecker(row.arguments, &output)) << row.arguments;
        EXPECT_NE(std::string::npos, output.find(row.says)) << row.says << "\n" << output;
    }
    for (const std::string &name : {std::string("probe.scr"), std::string("probe_exitnow.scr"),
                                     std::string("probe_withdll.scr"), text})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA(empty.c_str());
}
