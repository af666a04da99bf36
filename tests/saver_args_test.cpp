/* The saver command-line parser that the demo saver and the probes share:
 * every form a host may write, after every form of the program name. */
#include <gtest/gtest.h>

#include "savers/saver_args.h"

TEST(SaverArgs, EveryHostForm)
{
    const struct {
        const char *label;
        const char *line;
        int result;
        char mode;
        LONG window;   /* what the handle's low 32 bits must be */
    } rows[] = {
        {"blank", "s.scr /p 123", 1, 'p', 123},
        {"colon", "s.scr /p:123", 1, 'p', 123},
        {"dash, upper case", "s.scr -P 123", 1, 'p', 123},
        {"tab, blanks after colon", "s.scr\t/p: 77", 1, 'p', 77},
        {"quoted name with blank", "\"C:\\My Savers\\a b.scr\" /p 9", 1, 'p', 9},
        {"quoted name, no blank after", "\"C:\\a b.scr\"/s", 1, 'c', 0},
        {"quote inside the name", "C:\\x\"a b\"\\c.scr /s", 1, 's', 0},
        {"name like a switch", "\"/p 5.scr\" /c", 1, 'c', 0},
        {"signed top bit", "s.scr /p -2147483632", 1, 'p', (LONG)0x80000010u},
        {"unsigned top bit", "s.scr /p 2147483664", 1, 'p', (LONG)0x80000010u},
        {"settings owned, colon", "s.scr /C:456", 1, 'c', 456},
        {"full screen", "s.scr /s", 1, 's', 0},
        {"no switch", "s.scr", 1, 'c', 0},
        {"empty line", "", 1, 'c', 0},
        {"unknown switch", "s.scr /a 12", 0, 'c', 0},
        {"lone slash", "s.scr /", 0, 'c', 0},
        {"no handle", "s.scr /p", 1, 'p', 0},
    };
    for (const auto &row : rows) {
        SaverArgs args = {'x', (HWND)1};
        EXPECT_EQ(row.result, ParseSaverCommand(row.line, &args)) << row.label;
        EXPECT_EQ(row.mode, args.mode) << row.label;
        EXPECT_EQ((HWND)LongToHandle(row.window), args.window) << row.label;
    }
}
