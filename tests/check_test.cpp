/* novracheck run as a child process against the project's own savers: each
 * gets exactly the verdicts its behaviour earns; bad input is a start error. */
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/test_support.h"

namespace {

const char ALL_CHECKS[] = "preview.window,preview.close,preview.empty_area,preview.tiny_area,"
                          "preview.path_blank,settings.owned,fullscreen.covers,"
                          "fullscreen.ends_on_input,orphans";

/* Runs the checker with these arguments through the command processor,
 * which joins its error output to its standard output; its exit code and
 * what it printed. */
DWORD RunChecker(const std::string &arguments, std::string *output)
{
    std::string command = "\"\"" + ProgramFolder() + "novracheck.exe\" " + arguments + " 2>&1\"";
    FILE *pipe = _popen(command.c_str(), "rb");
    char buffer[4096];
    size_t got;
    while (pipe != NULL && (got = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        output->append(buffer, got);
    return pipe != NULL ? (DWORD)_pclose(pipe) : STILL_ACTIVE;
}

/* "PASS name", "WARN name" or "FAIL name" for each check of a text report. */
std::string Verdicts(const std::string &output)
{
    std::istringstream lines(output);
    std::string verdicts;
    std::string line;
    while (std::getline(lines, line)) {
        std::string verdict = line.substr(0, 5);
        if (verdict == "PASS " || verdict == "WARN " || verdict == "FAIL ")
            verdicts += line.substr(0, line.find_first_of(":( \r", 5)) + "\n";
    }
    return verdicts;
}

/* The expected verdicts: the checks named in `only`, one letter (P, W, F) each. */
std::string Expected(const std::string &only, const char *letters)
{
    std::istringstream names(only);
    std::string expected;
    std::string name;
    while (std::getline(names, name, ',')) {
        expected += std::string(*letters == 'P' ? "PASS " : *letters == 'W' ? "WARN " : "FAIL ") + name + "\n";
        letters++;
    }
    return expected;
}

}  // namespace

TEST(Check, EverySaverGetsTheVerdictsItsBehaviourEarns)
{
    const struct {
        const char *saver;
        const char *only;
        DWORD code;
        const char *letters;
    } rows[] = {
        {"novra_stars.scr", ALL_CHECKS, 0, "PPPPPPPPP"},
        {"probe.scr", ALL_CHECKS, 0, "PPPPPPPPP"},
        {"probe_exitnow.scr", ALL_CHECKS, 1, "FFPPFFFFP"},
        {"probe_ignoreclose.scr", ALL_CHECKS, 1, "PFPPPPPPP"},
        {"probe_hangclose.scr", ALL_CHECKS, 1, "PFPPPPPPP"},
        {"probe_divide.scr", "preview.window,preview.empty_area,preview.tiny_area,orphans", 1, "PFPP"},
        {"probe_orphan.scr", "preview.window,preview.close,settings.owned,orphans", 1, "PPPF"},
        {"probe_toplevel.scr", "preview.window", 1, "F"},
    };
    for (const auto &row : rows) {
        std::string output;
        std::string only = row.only == ALL_CHECKS ? "" : std::string("--only ") + row.only + " ";
        EXPECT_EQ(row.code, RunChecker(only + "\"" + ProbePath(row.saver) + "\"", &output)) << output;
        EXPECT_EQ(Expected(row.only, row.letters), Verdicts(output)) << row.saver << "\n" << output;
    }
}

TEST(Check, JsonEscapesAndStartErrorsEndWithTwo)
{
    std::string saver = ProbePath("probe_hangclose.scr");
    std::string json;
    RunChecker("--json --only preview.close \"" + saver + "\"", &json);
    for (size_t at = saver.find('\\'); at != std::string::npos; at = saver.find('\\', at + 2))
        saver.insert(at, "\\");
    EXPECT_NE(std::string::npos, json.find("\"saver\": \"" + saver + "\"")) << json;
    EXPECT_NE(std::string::npos, json.find("\"name\": \"preview.close\", \"verdict\": \"FAIL\"")) << json;
    EXPECT_NE(std::string::npos, json.find("\"passed\": 0, \"warned\": 0, \"failed\": 1")) << json;
    const std::string folder = ProgramFolder().substr(0, ProgramFolder().size() - 1);
    const std::string text = ProgramFolder() + "text saver.scr";
    std::ofstream(text) << "not a program";
    const struct {
        std::string path;
        const char *message;
    } rows[] = {
        {ProbePath("no such saver.scr"), "no such file"},
        {folder, "a folder"},
        {text, "not a program"},
        {folder + "\\" + std::string(259 - folder.size(), 'x'), "the path is too long"},
    };
    for (const auto &row : rows) {
        std::string output;
        EXPECT_EQ(2u, RunChecker("\"" + row.path + "\"", &output)) << row.path;
        EXPECT_NE(std::string::npos, output.find("novracheck: " + row.path + ": " + row.message)) << output;
    }
    DeleteFileA(text.c_str());
}
