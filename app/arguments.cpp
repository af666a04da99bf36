#include "arguments.h"

#include <windows.h>
#include <shellapi.h>

#include "settings/path.h"

/* A relative name is made full here: the open dialog changes the current
 * folder, and the settings file keeps the path for the next start. */
static int NamesSaver(const WCHAR *argument, char *path, size_t size)
{
    char text[MAX_PATH + 1];

    if (WideCharToMultiByte(CP_ACP, 0, argument, -1, text, sizeof(text), NULL, NULL) == 0)
        return 0;
    DWORD length = GetFullPathNameA(text, (DWORD)size, path, NULL);
    if (length == 0 || length >= size)
        return 0;
    return IsSaverPath(path) == 1 && IsPlainFile(path) == 1;
}

/* The platform splits a command line only in wide text: the line is
 * widened, split as every program splits it, and each argument narrowed
 * back to the code page it came in. */
int FindSaverArgument(char *path, size_t size)
{
    const char *line = GetCommandLineA();
    int wideLength = MultiByteToWideChar(CP_ACP, 0, line, -1, NULL, 0);
    int count = 0;
    int found = 0;

    if (wideLength <= 0)
        return 0;
    WCHAR *wide = (WCHAR *)LocalAlloc(LMEM_FIXED, (SIZE_T)wideLength * sizeof(WCHAR));
    if (wide == NULL)
        return 0;
    LPWSTR *arguments = NULL;
    if (MultiByteToWideChar(CP_ACP, 0, line, -1, wide, wideLength) == wideLength)
        arguments = CommandLineToArgvW(wide, &count);
    LocalFree(wide);
    if (arguments == NULL)
        return 0;
    /* The first is the program itself. */
    for (int index = 1; index < count && found == 0; index++)
        found = NamesSaver(arguments[index], path, size);
    LocalFree(arguments);
    return found;
}
