/* A saver's command line, read the way every saver must read it: from the
 * full line of GetCommandLineA, whatever form the host chose for the
 * switch and the window handle. */
#ifndef NOVRA_SAVER_ARGS_H
#define NOVRA_SAVER_ARGS_H

#include <windows.h>

struct SaverArgs {
    char mode;      /* 'p' preview, 'c' settings, 's' full screen */
    HWND window;    /* the preview's parent or the settings' owner; NULL if none */
};

/* Skips the program name as the C runtime does, then takes "/p 123",
 * "/p:123", "-P 123", "/c", "/s" and the like; no switch at all means
 * settings without an owner. 1 when the line is understood, 0 for an
 * unknown switch (args then hold settings without an owner). */
int ParseSaverCommand(const char *commandLine, SaverArgs *args);

#endif
