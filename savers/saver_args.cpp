#include "saver_args.h"

#include <stdlib.h>

static const char *SkipBlanks(const char *text)
{
    while (*text == ' ' || *text == '\t')
        text++;
    return text;
}

/* The runtime ends the program name at the first blank outside quotes; a
 * quote only switches quoting on or off, it may stand anywhere. */
static const char *SkipProgramName(const char *text)
{
    int quoted = 0;

    while (*text != '\0' && (quoted == 1 || (*text != ' ' && *text != '\t'))) {
        if (*text == '"')
            quoted = !quoted;
        text++;
    }
    return SkipBlanks(text);
}

/* Hosts write the handle as a signed 32-bit number ("-2147483632"), some
 * as unsigned. Both come to the same low 32 bits, and a window handle is
 * that value sign-extended, on 64-bit Windows too. */
static HWND ParseWindow(const char *text)
{
    long long value = strtoll(text, NULL, 10);

    return (HWND)LongToHandle((LONG)(ULONG)(unsigned long long)value);
}

int ParseSaverCommand(const char *commandLine, SaverArgs *args)
{
    const char *text = SkipProgramName(commandLine);
    char letter;

    args->mode = 'c';
    args->window = NULL;
    if (*text != '/' && *text != '-')
        return 1;
    letter = (char)(text[1] | 0x20);
    if (letter != 'p' && letter != 'c' && letter != 's')
        return 0;
    args->mode = letter;
    text = SkipBlanks(text + 2);
    if (*text == ':')
        text = SkipBlanks(text + 1);
    args->window = ParseWindow(text);
    return 1;
}
