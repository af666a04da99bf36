#include "exit_code.h"

#include "res/resource.h"

/* Only the codes the platform raises for a crash count as one: a saver may
 * end with any code of its own, and some end with -1 (0xFFFFFFFF), whose
 * top bits look like an error's. ntstatus.h is not for user-mode programs
 * that also include windows.h, hence the numbers. */
static const ExitCodeName exitCodeNames[] = {
    {0xC0000005, END_CRASH, "access violation", IDS_ACCESS_VIOLATION},
    {0xC0000006, END_CRASH, "in-page error", IDS_IN_PAGE_ERROR},
    {0xC0000008, END_CRASH, "invalid handle", IDS_INVALID_HANDLE},
    {0xC0000017, END_CRASH, "out of memory", IDS_NO_MEMORY},
    {0xC000001D, END_CRASH, "illegal instruction", IDS_ILLEGAL_INSTRUCTION},
    {0xC0000025, END_CRASH, "noncontinuable exception", IDS_NONCONTINUABLE},
    {0xC000008C, END_CRASH, "array bounds exceeded", IDS_ARRAY_BOUNDS},
    {0xC000008E, END_CRASH, "floating-point division by zero", IDS_FLT_DIVIDE_BY_ZERO},
    {0xC0000090, END_CRASH, "invalid floating-point operation", IDS_FLT_INVALID},
    {0xC0000094, END_CRASH, "integer division by zero", IDS_INT_DIVIDE_BY_ZERO},
    {0xC0000095, END_CRASH, "integer overflow", IDS_INT_OVERFLOW},
    {0xC0000096, END_CRASH, "privileged instruction", IDS_PRIVILEGED_INSTRUCTION},
    {0xC00000FD, END_CRASH, "stack overflow", IDS_STACK_OVERFLOW},
    {0xC0000374, END_CRASH, "heap corruption", IDS_HEAP_CORRUPTION},
    {0xC0000409, END_CRASH, "stack buffer overrun", IDS_STACK_BUFFER_OVERRUN},
    {0xC0000420, END_CRASH, "assertion failure", IDS_ASSERTION_FAILURE},
    {0x80000002, END_CRASH, "datatype misalignment", IDS_MISALIGNMENT},
    {0x80000003, END_CRASH, "breakpoint", IDS_BREAKPOINT},
    {0xE06D7363, END_CRASH, "C++ exception", IDS_CPP_EXCEPTION},
    {0xC0000135, END_LOADER, "a DLL it needs was not found", IDS_DLL_NOT_FOUND},
    {0xC0000139, END_LOADER, "a function it needs is missing from a DLL", IDS_ENTRY_POINT_MISSING},
    {0xC0000142, END_LOADER, "a DLL it needs failed to initialise", IDS_DLL_INIT_FAILED},
    {0xC000007B, END_LOADER, "a DLL it needs is not a valid program", IDS_INVALID_IMAGE},
};

const ExitCodeName *FindExitCode(DWORD code)
{
    for (size_t index = 0; index < sizeof(exitCodeNames) / sizeof(exitCodeNames[0]); index++) {
        if (exitCodeNames[index].code == code)
            return &exitCodeNames[index];
    }
    return NULL;
}

EndKind ReadExitCode(DWORD code, const char **name)
{
    const ExitCodeName *row = FindExitCode(code);

    *name = row != NULL ? row->name : "";
    return row != NULL ? row->kind : END_EXIT;
}
