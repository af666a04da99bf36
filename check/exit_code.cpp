#include "exit_code.h"

struct ExitCodeName {
    DWORD code;
    EndKind kind;
    const char *name;
};

static const ExitCodeName exitCodeNames[] = {
    {0xC0000005, END_CRASH, "access violation"},
    {0xC000001D, END_CRASH, "illegal instruction"},
    {0xC000008C, END_CRASH, "array bounds exceeded"},
    {0xC000008E, END_CRASH, "floating-point division by zero"},
    {0xC0000090, END_CRASH, "invalid floating-point operation"},
    {0xC0000094, END_CRASH, "integer division by zero"},
    {0xC0000095, END_CRASH, "integer overflow"},
    {0xC0000096, END_CRASH, "privileged instruction"},
    {0xC00000FD, END_CRASH, "stack overflow"},
    {0xC0000374, END_CRASH, "heap corruption"},
    {0xC0000409, END_CRASH, "stack buffer overrun"},
    {0x80000003, END_CRASH, "breakpoint"},
    {0xE06D7363, END_CRASH, "C++ exception"},
    {0xC0000135, END_LOADER, "a DLL it needs was not found"},
    {0xC0000139, END_LOADER, "a function it needs is missing from a DLL"},
    {0xC0000142, END_LOADER, "a DLL it needs failed to initialise"},
    {0xC000007B, END_LOADER, "a DLL it needs is not a valid program"},
};

/* Unlisted codes with the error severity are exceptions too; an exit(-1)
 * (0xFFFFFFFF) is not. */
EndKind ReadExitCode(DWORD code, const char **name)
{
    for (size_t index = 0; index < sizeof(exitCodeNames) / sizeof(exitCodeNames[0]); index++) {
        if (exitCodeNames[index].code == code) {
            *name = exitCodeNames[index].name;
            return exitCodeNames[index].kind;
        }
    }
    *name = (code & 0xF0000000) == 0xC0000000 ? "an exception" : "";
    return (code & 0xF0000000) == 0xC0000000 ? END_CRASH : END_EXIT;
}
