// novracheck run as a child process against the project's own savers: each
// gets exactly the verdicts its behaviour earns; bad input is a start error.
#include <gtest/gtest.h>
#include <sstream>
#include "support/test_support.h"

namespace {
const char kAll[] = "preview.window,preview.close,preview.empty_area,preview.tiny_area,preview.path_blank,"
                    "settings.owned,fullscreen.covers,fullscreen.ends_on_input,orphans";
struct CheckerRun { DWORD code; std::string output; };
CheckerRun RunChecker(const std::string &arguments) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE readEnd, writeEnd;
    CheckerRun run = {STILL_ACTIVE, ""};
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup, startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + ProgramFolder() + "novracheck.exe\" " + arguments;
    BOOL started = CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
    CloseHandle(writeEnd);
    char buffer[4096];
    DWORD got = 0;
    while (started && ReadFile(readEnd, buffer, sizeof buffer, &got, NULL) && got > 0) run.output.append(buffer, got);
    CloseHandle(readEnd);
    if (started && WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &run.code);
    if (started) CloseHandle(process.hThread), CloseHandle(process.hProcess);
    return run;
}
// "PASS name" for each verdict line of a text report.
std::string Verdicts(const std::string &output) {
    std::istringstream lines(output);
    std::string verdicts;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("PASS ", 0) == 0 || line.rfind("WARN ", 0) == 0 || line.rfind("FAIL ", 0) == 0)
            verdicts += line.substr(0, line.find_first_of(":( \r", 5)) + "\n";
    return verdicts;
}
// The expected lines for the checks named in `only`, one letter (P, W, F) each.
std::string Expected(const std::string &only, const char *letters) {
    std::string lines;
    for (size_t at = 0; *letters != '\0'; at = only.find(',', at) + 1, letters++)
        lines += std::string(*letters == 'P' ? "PASS " : *letters == 'W' ? "WARN " : "FAIL ") +
                 only.substr(at, only.find(',', at) - at) + "\n";
    return lines;
}
std::string Quoted(const std::string &path) { return "\"" + path + "\""; }
}  // namespace

TEST(Check, EverySaverGetsTheVerdictsItsBehaviourEarns) {
    struct Row { const char *saver, *only; DWORD code; const char *letters; } rows[] = {
        {"novra_stars.scr", kAll, 0, "PPPPPPPPP"},
        {"probe.scr", kAll, 0, "PPPPPPPPP"},
        {"probe_exitnow.scr", kAll, 1, "FFPPFFFFP"},      // no window in any mode
        {"probe_ignoreclose.scr", kAll, 1, "PFPPPPPPP"},
        {"probe_hangclose.scr", kAll, 1, "PFPPPPPPP"},
        {"probe_divide.scr", "preview.window,preview.empty_area,preview.tiny_area,orphans", 1, "PFPP"},
        {"probe_orphan.scr", "preview.window,preview.close,settings.owned,orphans", 1, "PPPF"},
        {"probe_toplevel.scr", "preview.window", 1, "F"}};
    for (const Row &r : rows) {
        CheckerRun run = RunChecker((r.only == kAll ? std::string() : std::string("--only ") + r.only + " ") + Quoted(ProbePath(r.saver)));
        EXPECT_EQ(r.code, run.code) << r.saver << "\n" << run.output;
        EXPECT_EQ(Expected(r.only, r.letters), Verdicts(run.output)) << r.saver << "\n" << run.output;
    }
}
TEST(Check, JsonEscapesAndStartErrorsEndWithTwo) {
    const std::string saver = ProbePath("probe_hangclose.scr");
    CheckerRun json = RunChecker("--json --only preview.close " + Quoted(saver));
    std::string escaped;  // backslashes doubled
    for (char c : saver) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    EXPECT_NE(std::string::npos, json.output.find("\"saver\": \"" + escaped + "\"")) << json.output;
    EXPECT_NE(std::string::npos, json.output.find("{\"name\": \"preview.close\", \"verdict\": \"FAIL\", \"why\": \"the window")) << json.output;
    EXPECT_NE(std::string::npos, json.output.find("\"passed\": 0, \"warned\": 0, \"failed\": 1")) << json.output;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string text = std::string(temp) + "novra text saver.scr", folder(temp, strlen(temp) - 1);
    WriteIni(text, "not", "a", "program");  // any text file
    struct Row { const char *label; std::string path; const char *message; } rows[] = {
        {"missing", ProbePath("no such saver.scr"), "no such file"}, {"folder", folder, "a folder"},
        {"text file", text, "not a program"}, {"260 characters", folder + "\\" + std::string(259 - folder.size(), 'x'), "the path is too long"}};
    for (const Row &r : rows) {
        CheckerRun run = RunChecker(Quoted(r.path));
        EXPECT_EQ(2u, run.code) << r.label;
        EXPECT_NE(std::string::npos, run.output.find("novracheck: " + r.path + ": " + r.message)) << r.label << "\n" << run.output;
    }
    DeleteFileA(text.c_str());
}
